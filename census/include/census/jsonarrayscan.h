#pragma once

#include <QByteArrayView>

#include <functional>

namespace zd {

enum class ArrayScan {
    Whole,       // every element was handed over
    NotAnArray,  // the text is no JSON array (or is cut short)
    Stopped,     // `take` asked to stop
};

// Hands `take` the text of each element of the JSON array that the text is, in
// order, finding only where each element ends (strings and nesting followed),
// so that a large array can be read one element at a time; each element's own
// text is the caller's to read and check.
ArrayScan scanJsonArray(QByteArrayView text, const std::function<bool(QByteArrayView element)>& take);

}  // namespace zd
