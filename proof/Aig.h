#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <unordered_map>
#include <vector>

// An and-inverter graph with latches, numbered as an AIGER file numbers it:
// variable 0 is the constant, then the inputs, then the latches, then the AND
// gates in the order they were made. A literal is twice its variable, plus 1
// when negated. Inputs and latches are all declared before the first gate, so
// every gate's variable is above those of its operands, as the binary form
// requires. Every latch starts at 0.
class Aig
{
public:
    using Lit = uint32_t;
    static constexpr Lit False = 0;
    static constexpr Lit True = 1;
    static Lit negate(Lit lit) { return lit ^ 1u; }

    struct And
    {
        Lit lhs;
        Lit rhs0; // rhs0 >= rhs1
        Lit rhs1;
    };
    struct Latch
    {
        Lit lit;
        Lit next = False;
        QString name;
    };
    struct Output
    {
        Lit lit;
        QString name;
    };

    // Inputs come before latches and latches before gates; std::logic_error
    // otherwise.
    Lit addInput(const QString &name);
    Lit addLatch(const QString &name);

    // The next-state function of latch `index` (in the order of addLatch).
    void setNext(int index, Lit next);

    // The conjunction, folded when an operand is constant or the two are
    // equal or opposite, and shared with an equal gate made before.
    Lit makeAnd(Lit a, Lit b);
    Lit makeOr(Lit a, Lit b) { return negate(makeAnd(negate(a), negate(b))); }
    // sel ? then : otherwise
    Lit makeMux(Lit sel, Lit then, Lit otherwise);
    Lit makeXor(Lit a, Lit b) { return makeMux(a, negate(b), b); }

    void addOutput(Lit lit, const QString &name);

    uint32_t maxVariable() const { return uint32_t(m_inputNames.size() + m_latches.size() + m_ands.size()); }
    const std::vector<QString> &inputNames() const { return m_inputNames; }
    const std::vector<Latch> &latches() const { return m_latches; }
    const std::vector<And> &ands() const { return m_ands; }
    const std::vector<Output> &outputs() const { return m_outputs; }

private:
    std::vector<QString> m_inputNames;
    std::vector<Latch> m_latches;
    std::vector<And> m_ands;
    std::vector<Output> m_outputs;
    std::unordered_map<uint64_t, Lit> m_andOf; // (rhs0 << 32 | rhs1) -> lhs
};

// The graph as an AIGER file with its symbol table (names in UTF-8): the
// ASCII form "aag" or the binary form "aig".
QByteArray WriteAag(const Aig &aig);
QByteArray WriteBinaryAig(const Aig &aig);
