#include "server/nickname.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/uspoof.h>

#include <memory>

namespace {

// More combining marks than this on one base character are a pile that
// spills over the lines around it.
constexpr int maxMarksInARow = 2;

bool isMark(UChar32 c) { return (U_GET_GC_MASK(c) & U_GC_M_MASK) != 0; }

const USpoofChecker* spoofChecker() {
    static const USpoofChecker* checker = [] {
        UErrorCode status = U_ZERO_ERROR;
        USpoofChecker* made = uspoof_open(&status);
        return U_SUCCESS(status) ? made : nullptr;
    }();
    return checker;
}

std::string utf8Of(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

}  // namespace

NicknameVerdict examineNickname(std::string_view utf8, std::size_t maxCharacters) {
    NicknameVerdict verdict;
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    if (text.indexOf(static_cast<UChar>(0xFFFD)) >= 0) return verdict;  // not UTF-8
    const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
    if (U_FAILURE(status)) return verdict;
    icu::UnicodeString normal = nfkc->normalize(text, status);
    if (U_FAILURE(status)) return verdict;

    icu::UnicodeString kept;
    bool space = false, visible = false;
    int marks = 0;
    for (int32_t i = 0; i < normal.length(); i = normal.moveIndex32(i, 1)) {
        UChar32 c = normal.char32At(i);
        if (u_hasBinaryProperty(c, UCHAR_BIDI_CONTROL)) return verdict;
        if (u_isUWhiteSpace(c)) {
            space = !kept.isEmpty();
            continue;
        }
        if (u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT)) continue;
        if (u_iscntrl(c)) return verdict;
        if (space) kept.append(static_cast<UChar>(' '));
        space = false;
        marks = isMark(c) ? marks + 1 : 0;
        if (marks > maxMarksInARow) return verdict;
        if (!isMark(c)) visible = true;
        kept.append(c);
    }
    if (!visible || static_cast<std::size_t>(kept.countChar32()) > maxCharacters) {
        verdict.fault = NicknameFault::emptyOrLong;
        return verdict;
    }

    const USpoofChecker* checker = spoofChecker();
    if (!checker) return verdict;
    icu::UnicodeString folded = kept;
    folded.foldCase();
    icu::UnicodeString skeleton;
    uspoof_getSkeletonUnicodeString(checker, 0, folded, skeleton, &status);
    if (U_FAILURE(status)) return verdict;
    verdict.shown = utf8Of(kept);
    verdict.skeleton = utf8Of(skeleton);
    verdict.fault = NicknameFault::none;
    return verdict;
}
