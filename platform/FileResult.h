#pragma once

#include <QString>

#include <expected>

// What every reader and writer of a file gives back: the value read (nothing
// for a writer), or a Russian message for the person that names the file,
// and the line where there is one.
template <class Value = void>
using FileResult = std::expected<Value, QString>;
