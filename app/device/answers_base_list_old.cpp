// Category 8 (the old protocol's further replies): the base position list, which arrives in
// pieces of at most 55 bytes, and the base position difference.
#include <algorithm>

#include "answer_rows.h"

namespace Varnok {

namespace {

using A = DeviceAnswersAccess;

constexpr std::size_t kPieceMax = 56;

void copyPiece(ReceiverSession& s, CopiedBytes& out) {
    unsigned char piece[kPieceMax] = {};
    int length = 0;
    s.Get_BasePosition_List(piece, length);
    const std::size_t n = length > 0 ? std::min<std::size_t>(length, kPieceMax) : 0;
    out.assign(piece, piece + n);
}

// A full piece: more follow.
bool applyPiece(DeviceManager& m, const CopiedBytes& in) {
    A::basePositions(m).appendBytes(in.data(), in.size());
    return false;
}

// The last piece: the list is shown once its bytes are whole.
bool applyLastPiece(DeviceManager& m, const CopiedBytes& in) {
    A::basePositions(m).appendBytes(in.data(), in.size());
    return A::basePositions(m).parse();
}

bool applyDifference(DeviceManager& m, const CopiedBytes& in) {
    A::basePositions(m).setDifferenceAnswer(takeBytes<double>(in));
    return true;
}

const AnswerRow kRows[] = {
    {OLD_EX_FLAG_FJ_FULL, copyPiece, applyPiece, 0, nullptr},
    {OLD_EX_FLAG_FJ, copyPiece, applyLastPiece, 68, nullptr},
    {OLD_EX_FLAG_FK, copyRecord<double, &ReceiverSession::Get_BasePosition_Difference>,
     applyDifference, 69, nullptr},
};

const AnswerTable kTable = tableOf(kRows);

}  // namespace

const AnswerTable& oldBaseListAnswers() {
    return kTable;
}

}  // namespace Varnok
