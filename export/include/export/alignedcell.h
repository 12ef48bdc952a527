#pragma once

#include <QByteArrayView>

namespace zd {

class ResultFile;

// The statements of an aligned write that can fail, as its error box numbers them.
namespace alignedstatement {
constexpr int kRead = 100;
constexpr int kCreate = 136;
constexpr int kHeaderWrite = 150;
constexpr int kRowWrite = 180;
constexpr int kClose = 184;
}  // namespace alignedstatement

// One cell of an aligned line: its text, spaces up to the column's width, a TAB.
void appendAlignedCell(ResultFile& file, QByteArrayView text, qsizetype width);

}  // namespace zd
