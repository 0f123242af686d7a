// The three example devices of the railway primer, run through the real
// transmitter, with the step numbers worked out by hand there.

#include "tests/sim/StepHarness.h"
#include "vesk/CodeTransmitter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

enum class Device { Stick, CodePresent, Decoder };
enum class Probe { State, Excitation, Output };

// value holds on every step from..to.
struct Expect
{
    const char *signal;
    Probe probe;
    int from;
    int to;
    int16_t value;
};

struct Scenario
{
    const char *name;
    Device device;
    int kpt;   // 5 or 7
    int16_t code;
    std::map<int, QString> keys;
    std::map<int, std::pair<int, uint8_t>> faults; // step: element, fault
    std::vector<Expect> expects;
};

StepRun makeDevice(Device device)
{
    const auto S = [](const char *utf8) { return QString::fromUtf8(utf8); };
    switch (device) {
    case Device::Stick:
        return StepRun({{S("Ф"), S("p+Ф*-ГФ")}, {S("ГФ"), S("Ф*-p")}}, {{S("ВЫХ"), S("Ф")}},
                       {0.01f, 0.5f}, {0.01f, 0.01f});
    case Device::CodePresent:
        return StepRun({{S("И"), S("p")}, {S("ИП"), S("И")}, {S("Б"), S("ИП")}, {S("Б2"), S("-ИП")}},
                       {{S("КОД"), S("Б*Б2")}}, {0.02f, 0.01f, 0.01f, 0.01f}, {0.02f, 0.01f, 1.0f, 0.6f});
    case Device::Decoder:
        return StepRun({{S("И"), S("p")}, {S("Б"), S("И")}, {S("Д"), S("И")}, {S("П"), S("-И*Д+П*Д")},
                        {S("ЖЗ"), S("И*П")}, {S("КЖ"), S("Б*-ЖЗ")}},
                       {{S("ЛКЖ"), S("КЖ*-ЖЗ")}, {S("ЛЖЗ"), S("ЖЗ*Б")}},
                       {0.01f, 0.01f, 0.01f, 0.01f, 0.01f, 0.7f}, {0.01f, 1.0f, 0.3f, 0.01f, 1.5f, 0.01f});
    }
    return StepRun({}, {});
}

class DomainExample : public testing::TestWithParam<Scenario> {};

TEST_P(DomainExample, StepNumbersAsWorkedOutByHand)
{
    const Scenario &sc = GetParam();
    StepRun run = makeDevice(sc.device);
    CodeTransmitter transmitter;
    if (sc.kpt == 7)
        transmitter.Set7();
    AttachTransmitter(run.host, transmitter);
    run.diag.Nkod = sc.code;
    run.keys = sc.keys;
    for (const auto &[step, fault] : sc.faults)
        run.before[step] = [&run, fault = fault] { run.state.setFault(fault.first, FaultOfKind(fault.second)); };

    int last = 0;
    for (const Expect &e : sc.expects)
        last = std::max(last, e.to);
    std::vector<int> firstMismatch(sc.expects.size(), 0);
    while (run.stepNumber < last) {
        run.step();
        for (size_t k = 0; k < sc.expects.size(); ++k) {
            const Expect &e = sc.expects[k];
            if (run.stepNumber < e.from || run.stepNumber > e.to || firstMismatch[k] != 0)
                continue;
            const QString name = QString::fromUtf8(e.signal);
            const int16_t value = e.probe == Probe::State        ? run.elementState(name)
                                  : e.probe == Probe::Excitation ? run.excitation(name)
                                                                 : run.output(name);
            if (value != e.value)
                firstMismatch[k] = run.stepNumber;
        }
    }
    for (size_t k = 0; k < sc.expects.size(); ++k) {
        const Expect &e = sc.expects[k];
        EXPECT_EQ(firstMismatch[k], 0) << e.signal << " should be " << e.value << " on steps " << e.from
                                       << ".." << e.to << ", differs first at step " << firstMismatch[k];
    }
}

const QString Key(const char *utf8) { return QString::fromUtf8(utf8); }

// Stick relay: ВЫХ = Ф.
const std::vector<Expect> stickCode1 = {
    {"ВЫХ", Probe::Output, 1, 1, 0},     {"ВЫХ", Probe::Output, 2, 75, 1},    {"ВЫХ", Probe::Output, 76, 81, 0},
    {"ВЫХ", Probe::Output, 82, 155, 1},  {"ВЫХ", Probe::Output, 156, 161, 0}, {"ВЫХ", Probe::Output, 162, 235, 1},
    {"ВЫХ", Probe::Output, 236, 241, 0}, {"ВЫХ", Probe::Output, 242, 315, 1}, {"ВЫХ", Probe::Output, 316, 321, 0},
    {"ВЫХ", Probe::Output, 322, 395, 1},
    // ГФ is excited (█) from step 24 and picks up at 74.
    {"ГФ", Probe::Excitation, 1, 23, 0}, {"ГФ", Probe::Excitation, 24, 74, 1},
    {"ГФ", Probe::State, 1, 73, 0},      {"ГФ", Probe::State, 74, 74, 1},
};

INSTANTIATE_TEST_SUITE_P(
    Primer, DomainExample,
    testing::Values(
        Scenario{"StickNoCode", Device::Stick, 5, 0, {}, {},
                 {{"ВЫХ", Probe::Output, 1, 400, 0}, {"Ф", Probe::State, 1, 400, 0}, {"ГФ", Probe::State, 1, 400, 0}}},
        Scenario{"StickCode1", Device::Stick, 5, 1, {}, {}, stickCode1},
        Scenario{"StickCode2", Device::Stick, 5, 2, {}, {},
                 {{"ВЫХ", Probe::Output, 2, 140, 1}, {"ВЫХ", Probe::Output, 141, 161, 0},
                  {"ВЫХ", Probe::Output, 162, 300, 1}, {"ВЫХ", Probe::Output, 301, 321, 0},
                  {"ВЫХ", Probe::Output, 322, 400, 1},
                  // The 0.12 s interval after the first pulse: ГФ only pending.
                  {"ГФ", Probe::Excitation, 39, 50, 1}, {"ГФ", Probe::State, 1, 89, 0}}},
        Scenario{"StickCode3", Device::Stick, 5, 3, {}, {},
                 {{"ВЫХ", Probe::Output, 2, 155, 1}, {"ВЫХ", Probe::Output, 156, 161, 0},
                  {"ВЫХ", Probe::Output, 162, 315, 1}, {"ВЫХ", Probe::Output, 316, 321, 0},
                  {"ВЫХ", Probe::Output, 322, 400, 1}}},
        Scenario{"StickConstantOneThenZero", Device::Stick, 5, 0, {{50, Key("1")}, {100, Key("0")}}, {},
                 {{"ВЫХ", Probe::Output, 1, 50, 0}, {"ВЫХ", Probe::Output, 51, 151, 1},
                  {"ВЫХ", Probe::Output, 152, 400, 0}, {"ГФ", Probe::State, 1, 149, 0}, {"ГФ", Probe::State, 150, 150, 1}}},

        Scenario{"CodePresentCode1", Device::CodePresent, 5, 1, {}, {},
                 {{"И", Probe::State, 1, 2, 0}, {"И", Probe::State, 3, 3, 1}, {"ИП", Probe::State, 1, 4, 0},
                  {"ИП", Probe::State, 5, 5, 1}, {"Б", Probe::State, 1, 6, 0}, {"Б", Probe::State, 7, 400, 1},
                  {"КОД", Probe::Output, 1, 6, 0}, {"КОД", Probe::Output, 7, 400, 1}}},
        Scenario{"CodePresentCode2Kpt7", Device::CodePresent, 7, 2, {}, {},
                 {{"Б", Probe::State, 1, 6, 0}, {"КОД", Probe::Output, 1, 6, 0}, {"КОД", Probe::Output, 7, 400, 1}}},
        Scenario{"CodePresentCode3", Device::CodePresent, 5, 3, {}, {},
                 {{"ИП", Probe::State, 1, 4, 0}, {"КОД", Probe::Output, 1, 6, 0}, {"КОД", Probe::Output, 7, 400, 1}}},
        Scenario{"CodePresentCode3Kpt7", Device::CodePresent, 7, 3, {}, {},
                 {{"КОД", Probe::Output, 1, 6, 0}, {"КОД", Probe::Output, 7, 400, 1}}},
        Scenario{"CodePresentNoCode", Device::CodePresent, 5, 0, {}, {}, {{"КОД", Probe::Output, 1, 400, 0}}},
        Scenario{"CodePresentCodeLost", Device::CodePresent, 5, 1, {{200, Key(")")}}, {},
                 {{"КОД", Probe::Output, 7, 288, 1}, {"КОД", Probe::Output, 289, 400, 0}}},
        Scenario{"CodePresentConstantOne", Device::CodePresent, 5, 0, {{50, Key("1")}}, {},
                 {{"КОД", Probe::Output, 1, 55, 0}, {"КОД", Probe::Output, 56, 114, 1},
                  {"КОД", Probe::Output, 115, 400, 0}}},
        Scenario{"CodePresentFeedOnPulseRelay", Device::CodePresent, 5, 1, {}, {{200, {1, 2}}},
                 {{"КОД", Probe::Output, 7, 264, 1}, {"КОД", Probe::Output, 265, 400, 0}}},

        Scenario{"DecoderCode1", Device::Decoder, 5, 1, {}, {},
                 {{"ЛКЖ", Probe::Output, 1, 74, 0}, {"ЛКЖ", Probe::Output, 75, 600, 1}, {"ЛЖЗ", Probe::Output, 1, 600, 0}}},
        Scenario{"DecoderCode1Kpt7", Device::Decoder, 7, 1, {}, {},
                 {{"ЛКЖ", Probe::Output, 1, 74, 0}, {"ЛКЖ", Probe::Output, 75, 600, 1}, {"ЛЖЗ", Probe::Output, 1, 600, 0}}},
        Scenario{"DecoderCode2", Device::Decoder, 5, 2, {}, {},
                 {{"ЛЖЗ", Probe::Output, 1, 53, 0}, {"ЛЖЗ", Probe::Output, 54, 600, 1}, {"ЛКЖ", Probe::Output, 1, 600, 0},
                  // И up at 2, Б at 4, so КЖ is pending (█) from step 5 for 50
                  // steps; ЖЗ up at 54 takes its excitation away at 55.
                  {"КЖ", Probe::Excitation, 1, 4, 0}, {"КЖ", Probe::Excitation, 5, 54, 1},
                  {"КЖ", Probe::Excitation, 55, 55, 0}, {"КЖ", Probe::State, 1, 600, 0}}},
        Scenario{"DecoderCode2Kpt7", Device::Decoder, 7, 2, {}, {},
                 {{"ЛЖЗ", Probe::Output, 1, 55, 0}, {"ЛЖЗ", Probe::Output, 56, 600, 1}, {"ЛКЖ", Probe::Output, 1, 600, 0}}},
        Scenario{"DecoderCode3", Device::Decoder, 5, 3, {}, {},
                 {{"ЛЖЗ", Probe::Output, 1, 50, 0}, {"ЛЖЗ", Probe::Output, 51, 600, 1}, {"ЛКЖ", Probe::Output, 1, 600, 0}}},
        Scenario{"DecoderNoCode", Device::Decoder, 5, 0, {}, {},
                 {{"ЛЖЗ", Probe::Output, 1, 600, 0}, {"ЛКЖ", Probe::Output, 1, 600, 0}}},
        Scenario{"DecoderCode2ThenCode1", Device::Decoder, 5, 2, {{300, Key("!")}}, {},
                 {{"ЛЖЗ", Probe::Output, 54, 400, 1}, {"ЛЖЗ", Probe::Output, 401, 600, 0},
                  {"ЛКЖ", Probe::Output, 1, 471, 0}, {"ЛКЖ", Probe::Output, 472, 600, 1}}},
        Scenario{"DecoderCode1Lost", Device::Decoder, 5, 1, {{300, Key(")")}}, {},
                 {{"ЛКЖ", Probe::Output, 75, 367, 1}, {"ЛКЖ", Probe::Output, 368, 600, 0}}},
        Scenario{"DecoderCode3Lost", Device::Decoder, 5, 3, {{300, Key(")")}}, {},
                 {{"ЛЖЗ", Probe::Output, 51, 365, 1}, {"ЛЖЗ", Probe::Output, 366, 600, 0}}},
        Scenario{"DecoderConstantOne", Device::Decoder, 5, 0, {{50, Key("1")}}, {},
                 {{"ЛКЖ", Probe::Output, 1, 123, 0}, {"ЛКЖ", Probe::Output, 124, 600, 1}}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
