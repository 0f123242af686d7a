#include "model/ContactSensitivity.h"

#include <algorithm>

ContactSensitivity::ContactSensitivity(const ModelDefinition &definition, const std::vector<Contact> &contacts)
{
    // A term without contacts holds always: it stays an empty range.
    for (int i = 1; i <= std::clamp<int>(definition.ElemCount, 0, MaxElements); ++i)
        m_elements.emplace_back(size_t(std::clamp<int>(definition.ElemTermCount[i], 0, MaxElemTerms)), Term{0, 0});
    for (int j = 1; j <= std::clamp<int>(definition.OutCount, 0, MaxOutputs); ++j)
        m_outputs.emplace_back(size_t(std::clamp<int>(definition.OutTermCount[j], 0, MaxOutTerms)), Term{0, 0});
    for (size_t k = 0; k < contacts.size(); ++k) {
        const Contact &contact = contacts[k];
        m_operands.push_back({Bits(1) << contact.relay, contact.back});
        Term &term = (contact.inOutput ? m_outputs : m_elements)[size_t(contact.function - 1)][size_t(contact.term - 1)];
        if (term.count++ == 0)
            term.first = int(k) + 1; // the contacts of a term come one after the other
    }
}

int ContactSensitivity::openContacts(const Term &term, Bits values, int &last) const
{
    int open = 0;
    for (int n = term.first; n < term.first + term.count && open < 2; ++n) {
        const Operand &operand = m_operands[size_t(n - 1)];
        if (((values & operand.bit) != 0) == operand.back) {
            ++open;
            last = n;
        }
    }
    return open;
}

void ContactSensitivity::find(const Group &group, Bits values, std::vector<ContactFault> &flips) const
{
    flips.clear();
    int last = 0;
    for (const Function &function : group) {
        int holding = 0;
        const Term *holdingTerm = nullptr;
        for (const Term &term : function)
            if (openContacts(term, values, last) == 0) {
                holdingTerm = &term;
                if (++holding > 1)
                    break;
            }
        if (holding == 1) {
            // The one term that holds: any of its contacts failing open
            // takes the function to 0.
            for (int n = holdingTerm->first; n < holdingTerm->first + holdingTerm->count; ++n)
                flips.push_back({n, ContactOpen});
        } else if (holding == 0) {
            // A term open at one contact only holds once that contact welds.
            for (const Term &term : function)
                if (openContacts(term, values, last) == 1)
                    flips.push_back({last, ContactWelded});
        }
    }
}
