#include "proof/Aig.h"

#include <stdexcept>
#include <utility>

Aig::Lit Aig::addInput(const QString &name)
{
    if (!m_ands.empty() || !m_latches.empty())
        throw std::logic_error("Aig: inputs come before latches and gates");
    m_inputNames.push_back(name);
    return Lit(m_inputNames.size()) * 2;
}

Aig::Lit Aig::addLatch(const QString &name)
{
    if (!m_ands.empty())
        throw std::logic_error("Aig: latches come before gates");
    const Lit lit = Lit(m_inputNames.size() + m_latches.size() + 1) * 2;
    m_latches.push_back({lit, False, name});
    return lit;
}

void Aig::setNext(int index, Lit next) { m_latches.at(std::size_t(index)).next = next; }

Aig::Lit Aig::makeAnd(Lit a, Lit b)
{
    if (a < b)
        std::swap(a, b);
    if (b == False || a == negate(b))
        return False;
    if (b == True || a == b)
        return a;
    const uint64_t key = uint64_t(a) << 32 | b;
    if (const auto found = m_andOf.find(key); found != m_andOf.end())
        return found->second;
    const Lit lhs = (maxVariable() + 1) * 2;
    m_ands.push_back({lhs, a, b});
    m_andOf.emplace(key, lhs);
    return lhs;
}

Aig::Lit Aig::makeMux(Lit sel, Lit then, Lit otherwise)
{
    if (then == otherwise)
        return then;
    return makeOr(makeAnd(sel, then), makeAnd(negate(sel), otherwise));
}

void Aig::addOutput(Lit lit, const QString &name) { m_outputs.push_back({lit, name}); }

namespace {

QByteArray header(const char *format, const Aig &aig)
{
    return QByteArray(format) + ' ' + QByteArray::number(aig.maxVariable()) + ' '
           + QByteArray::number(qsizetype(aig.inputNames().size())) + ' '
           + QByteArray::number(qsizetype(aig.latches().size())) + ' '
           + QByteArray::number(qsizetype(aig.outputs().size())) + ' '
           + QByteArray::number(qsizetype(aig.ands().size())) + '\n';
}

QByteArray symbols(const Aig &aig)
{
    QByteArray text;
    const auto line = [&](char kind, std::size_t index, const QString &name) {
        if (!name.isEmpty())
            text += kind + QByteArray::number(qsizetype(index)) + ' ' + name.toUtf8() + '\n';
    };
    for (std::size_t k = 0; k < aig.inputNames().size(); ++k)
        line('i', k, aig.inputNames()[k]);
    for (std::size_t k = 0; k < aig.latches().size(); ++k)
        line('l', k, aig.latches()[k].name);
    for (std::size_t k = 0; k < aig.outputs().size(); ++k)
        line('o', k, aig.outputs()[k].name);
    return text;
}

// An unsigned number in the binary form: seven bits a byte, low bits first,
// the high bit set on every byte but the last.
void appendDelta(QByteArray &out, uint32_t x)
{
    while (x & ~0x7fu) {
        out += char((x & 0x7f) | 0x80);
        x >>= 7;
    }
    out += char(x);
}

} // namespace

QByteArray WriteAag(const Aig &aig)
{
    QByteArray text = header("aag", aig);
    for (std::size_t k = 0; k < aig.inputNames().size(); ++k)
        text += QByteArray::number(qsizetype(k + 1) * 2) + '\n';
    for (const Aig::Latch &latch : aig.latches())
        text += QByteArray::number(latch.lit) + ' ' + QByteArray::number(latch.next) + '\n';
    for (const Aig::Output &output : aig.outputs())
        text += QByteArray::number(output.lit) + '\n';
    for (const Aig::And &gate : aig.ands())
        text += QByteArray::number(gate.lhs) + ' ' + QByteArray::number(gate.rhs0) + ' '
                + QByteArray::number(gate.rhs1) + '\n';
    return text + symbols(aig);
}

QByteArray WriteBinaryAig(const Aig &aig)
{
    // Inputs are implicit, and so is each latch's own literal.
    QByteArray data = header("aig", aig);
    for (const Aig::Latch &latch : aig.latches())
        data += QByteArray::number(latch.next) + '\n';
    for (const Aig::Output &output : aig.outputs())
        data += QByteArray::number(output.lit) + '\n';
    for (const Aig::And &gate : aig.ands()) {
        appendDelta(data, gate.lhs - gate.rhs0);
        appendDelta(data, gate.rhs0 - gate.rhs1);
    }
    return data + symbols(aig);
}
