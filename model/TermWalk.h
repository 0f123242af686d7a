#pragma once

#include "model/ModelState.h"

#include <QString>

// How the function language reads the terms of one function, character by
// character. "*" and the end of a term look the name read so far up among
// the elements (the first one with that exact name wins); a name found there
// becomes an operand, a name not found stays and becomes the head of the next
// name, and is dropped at the end of the term. "-" drops the name and negates
// the next operand, even one in a later term of the function. Latin "p" is
// the input; in element functions it also drops the name, in output functions
// the name goes on after it. Every other character belongs to the name.
//
// The translation into evaluable form and the model check both follow this
// walk, so what the check reports is what a run computes.
class TermVisitor
{
public:
    virtual ~TermVisitor() = default;

    // An operand of term: element (0: the input), negated or not. For an
    // element, from..to is the text of its name in the term (it may span "*"
    // or "p" when an unfound name ran into it); for the input, the "p".
    virtual void operand(int term, int element, bool negated, qsizetype from, qsizetype to) = 0;
    // The name read from `from` was not found at "*" (position at, kept) or
    // at the end of the term (at == the term's length, dropped).
    virtual void unfound(int term, const QString &name, qsizetype from, qsizetype at)
    {
        Q_UNUSED(term); Q_UNUSED(name); Q_UNUSED(from); Q_UNUSED(at);
    }
    // A non-empty name was dropped by the "-" or "p" at position at.
    virtual void dropped(int term, const QString &name, qsizetype from, qsizetype at)
    {
        Q_UNUSED(term); Q_UNUSED(name); Q_UNUSED(from); Q_UNUSED(at);
    }
    // A "-" at position at; pending is true when a negation was already
    // waiting for its operand.
    virtual void negation(int term, qsizetype at, bool pending)
    {
        Q_UNUSED(term); Q_UNUSED(at); Q_UNUSED(pending);
    }
    // The term is read; negationPending says a "-" waits for the next term.
    virtual void termEnd(int term, bool negationPending)
    {
        Q_UNUSED(term); Q_UNUSED(negationPending);
    }
};

// Walks terms[0..termCount) of one function of definition (elements as far
// as ElemCount, clamped to the capacity) and tells visitor what it reads.
void WalkTerms(const ModelDefinition &definition, const QString *terms, int termCount, bool inputEndsName,
               TermVisitor &visitor);
