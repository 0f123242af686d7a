#include "app/StartUp.h"

#include "app/Artwork.h"
#include "app/frmMenu.h"
#include "app/RunCommands.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <limits>

const Settings::WholeNumber<int16_t> &SpeedSetting()
{
    static const Settings::WholeNumber<int16_t> speed(QStringLiteral("Speed"), 0, 0,
                                                      std::numeric_limits<int16_t>::max());
    return speed;
}

int16_t LoadSpeedSetting() { return SpeedSetting().get(); }

namespace {

// Qt's own dialogs (file, printer) speak Russian too, where the system has
// Qt's translations; without them they stay in English.
void loadQtTranslation()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

std::unique_ptr<frmMenu> StartUp(ModelState &state)
{
    QCoreApplication::setApplicationName(QStringLiteral("Модель"));
    QApplication::setWindowIcon(Artwork::programIcon());
    loadQtTranslation();
    state.Speed = LoadSpeedSetting();
    state.ToScreen = FlagTrue;
    auto menu = std::make_unique<frmMenu>(state, &programRunCommands());
    menu->show();
    return menu;
}
