#pragma once

#include "model/ModelState.h"

#include <QString>

#include <optional>
#include <vector>

// A model drawn as relay-contact circuits: one rung per element and output,
// from the supply bus on the left to its coil or lamp on the right. A
// product term is a branch of contacts in series, the terms of a sum are
// branches in parallel. The branches hold what the function language reads
// (model/TermWalk.h), so the drawing is what a run computes: a name that
// matches no element is drawn where it stood, as the plain wire it becomes,
// and marked; a contact whose text reads as another name carries that text.
//
// Positions are cells of a grid: a branch puts ContactsPerRow items on a row
// and wraps onto the rows below it; rows count from the top of their rung.
namespace schematic {

inline constexpr int ContactsPerRow = 8;

struct Item
{
    enum class Kind : uint8_t {
        Front,   // a front contact of element (0: the track input p)
        Back,    // a back contact of element
        Dropped, // text the language drops: drawn as a wire, marked
    };
    Kind kind = Kind::Front;
    int element = 0;
    QString label; // the element's name, "p", or the dropped text
    QString note;  // why the item is marked; empty when it reads as written
    int contact = 0; // a contact's number as ModelContacts numbers them; 0 for a dropped name
    int row = 0;
    int column = 0;
};

struct Branch
{
    int term = 0; // from 0, as in the function
    int row = 0;  // the branch's first row
    int rowCount = 1;
    std::vector<Item> items;
    QString note; // a mark on the branch as a whole (an empty term)
};

struct Rung
{
    enum class Kind : uint8_t { Element, Output };
    int number = 0; // from 1, elements first, then outputs
    Kind kind = Kind::Element;
    int index = 0;  // the model's element or output number, from 1
    QString name;
    std::optional<float> pickup, release; // seconds, elements with a timing only
    int rowCount = 1;
    std::vector<Branch> branches;
};

// Where the contacts of one element are used, by rung number, ascending.
struct CrossReference
{
    std::vector<int> front;
    std::vector<int> back;
};

struct Schematic
{
    QString modelName;
    std::vector<Rung> rungs;
    // [k]: element k (0: the input p), for k up to the model's element count.
    std::vector<CrossReference> references;

    // The rung of element k, or of output j; null when there is none.
    const Rung *elementRung(int element) const;
    const Rung *outputRung(int output) const;
};

// The relay times of a timing file, element k at [k].
struct RelayTimes
{
    std::array<float, MaxElements + 1> pickup{};
    std::array<float, MaxElements + 1> release{};
};

// The schematic of definition (counts clamped to the capacity); times, when
// given, label the coils.
Schematic BuildSchematic(const ModelDefinition &definition, const std::optional<RelayTimes> &times = std::nullopt);

} // namespace schematic
