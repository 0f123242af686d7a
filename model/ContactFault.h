#pragma once

#include "model/ModelState.h"

#include <QString>

#include <cstdint>
#include <expected>
#include <optional>
#include <vector>

// A contact of the device: one operand that the function language reads in a
// term (see TermWalk), a front contact of its relay for "Б", a back contact
// for "-Б", a contact of the track relay for "p". A name that matches no
// element is no contact.
struct Contact
{
    bool inOutput = false; // in an output function rather than an element's
    int function = 0;      // the element or output, from 1
    int term = 0;          // from 1, as the user counts the terms of the line
    int relay = 0;         // the element; 0 for the input p
    bool back = false;
    int position = 0;      // from 1: where its name starts in the term's text
    int repeat = 1;        // 2 for the second contact of that relay and side in the term, ...
};

// How a contact fails: it stays closed whatever its relay does, or it never
// closes. The numbers follow the coil faults (1 break, 2 feed).
enum ContactFaultKind : uint8_t {
    ContactWelded = 3, // «не размыкается»
    ContactOpen = 4,   // «не замыкается»
};

bool IsContactFaultKind(uint8_t kind);

// A contact fault in force: the contact's number (from 1, in the order of
// ModelContacts) and its kind.
struct ContactFault
{
    int contact = 0;
    uint8_t kind = 0;
    bool operator==(const ContactFault &) const = default;
};

// faults with the fault of contact replaced by one of kind; a kind that is
// no contact fault (0) clears it.
void ReplaceContactFault(std::vector<ContactFault> &faults, int contact, uint8_t kind);

// The kind of contact's fault among faults, 0 when it has none.
uint8_t ContactFaultOf(const std::vector<ContactFault> &faults, int contact);

// Every contact of the model: the element functions, then the output
// functions; term by term; within a term in the order of the text, as
// «Схема» draws them. A contact's number is its index here plus one.
std::vector<Contact> ModelContacts(const ModelDefinition &definition);

// The name of the function a contact stands in: its element's or output's.
QString FunctionName(const ModelDefinition &definition, const Contact &contact);

// The contact as written in the term: "Б", "-Б" or "p".
QString ContactLabel(const ModelDefinition &definition, const Contact &contact);

// «контакт -Б в функции КЖ, терм 1», with «(2-й такой в терме)» for a repeat
// and «в функции выхода Ж» for an output whose name an element bears too.
QString ContactName(const ModelDefinition &definition, const Contact &contact);
// The same from the parts: the label as ContactLabel gives it.
QString ContactName(const QString &label, const QString &function, int term, int repeat,
                    bool outputWithElementsName = false);

// «не размыкается», «не замыкается».
QString ContactFaultText(uint8_t kind);

// The kind a word names as --fault and a bench write it: "не-размыкается",
// "не-замыкается" (a blank in place of the hyphen too), or "норма" (0: the
// contact works again).
std::optional<uint8_t> ContactFaultKindNamed(const QString &word);

// The contact as --fault and a bench name it, from its label (ContactLabel),
// function and place: ФУНКЦИЯ/ТЕРМ/КОНТАКТ, with
// "/N" after the contact for its N-th repeat: "КЖ/1/-Б", "КЖ/2/Б/2".
QString ContactAddress(const QString &label, const QString &function, int term, int repeat);
// The same for a contact of the model. An output that has an element's name
// is written with the output mark, as the element's own name means the
// element: "выход/Ж/1/p" (no blank or colon, as benches and --fault read it).
QString ContactAddress(const ModelDefinition &definition, const Contact &contact);
inline constexpr QStringView OutputAddressMark = u"выход/";

// True when text has the shape of a contact address (it may still name none).
bool LooksLikeContactAddress(const QString &text);

// The number of the contact address names (functions of elements are looked up
// before those of outputs, and the output mark before a name looks up only
// outputs), or a Russian message that says what is missing
// and lists the contacts of that term, or the function's term count.
std::expected<int, QString> FindContact(const ModelDefinition &definition, const std::vector<Contact> &contacts,
                                        const QString &address);
