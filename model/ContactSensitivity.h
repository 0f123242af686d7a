#pragma once

#include "model/ContactFault.h"

#include <cstdint>
#include <vector>

// Which single contact faults change the result of their function for given
// signal values. While no fault has changed an element's excitation, a
// faulty device runs exactly as the fault-free one, so a fault campaign can
// tell from the fault-free run alone which contact faults matter and when.
class ContactSensitivity
{
public:
    // Signal values packed as bits: bit 0 the input, bit k element k.
    using Bits = uint32_t;

    // contacts: ModelContacts(definition).
    ContactSensitivity(const ModelDefinition &definition, const std::vector<Contact> &contacts);

    // The contact faults of element functions (outputs: of output
    // functions) that make their function give the other result under
    // values, in place of what flips held: a welded contact where its
    // function is 0, an open one where it is 1.
    void elementFlips(Bits values, std::vector<ContactFault> &flips) const { find(m_elements, values, flips); }
    void outputFlips(Bits values, std::vector<ContactFault> &flips) const { find(m_outputs, values, flips); }

private:
    struct Operand
    {
        Bits bit;
        bool back;
    };
    // The contacts first..first + count - 1 of one term.
    struct Term
    {
        int first;
        int count;
    };
    using Function = std::vector<Term>;
    using Group = std::vector<Function>;

    // How many contacts of term values leave open, counted up to two; last
    // is the last of them.
    int openContacts(const Term &term, Bits values, int &last) const;
    void find(const Group &group, Bits values, std::vector<ContactFault> &flips) const;

    std::vector<Operand> m_operands; // contact n at n - 1
    Group m_elements;
    Group m_outputs;
};
