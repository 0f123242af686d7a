#include "StartUp.h"
#include "frmMenu.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ModelState state;
    const std::unique_ptr<frmMenu> menu = StartUp(state);
    return app.exec();
}
