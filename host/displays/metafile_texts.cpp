#include "host/displays/metafile_texts.h"

#include <cstring>
#include <string>

namespace simhost {

namespace {

struct Reading {
    COLORREF color = kDefaultTextColor;
    std::vector<TextItem> texts;
};

// The characters of a text record: 8-bit as drawn, or UTF-16 (GDI records
// TextOutA as a wide text) turned back into the 8-bit code page.
std::string recordText(const ENHMETARECORD* record, const EMRTEXT& text, bool wide) {
    const auto* start = reinterpret_cast<const char*>(record) + text.offString;
    if (!wide) return std::string(start, text.nChars);
    std::wstring chars(text.nChars, L'\0');
    std::memcpy(chars.data(), start, text.nChars * sizeof(wchar_t));
    const int wideLength = static_cast<int>(chars.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, chars.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) WideCharToMultiByte(CP_ACP, 0, chars.data(), wideLength, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

int CALLBACK readRecord(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
    Reading& reading = *reinterpret_cast<Reading*>(data);
    switch (record->iType) {
        case EMR_SETTEXTCOLOR:
            reading.color = reinterpret_cast<const EMRSETTEXTCOLOR*>(record)->crColor;
            break;
        case EMR_EXTTEXTOUTA:
        case EMR_EXTTEXTOUTW: {
            const EMRTEXT& text = reinterpret_cast<const EMREXTTEXTOUTA*>(record)->emrtext;
            reading.texts.push_back(TextItem{text.ptlReference.x, text.ptlReference.y, reading.color,
                                             recordText(record, text, record->iType == EMR_EXTTEXTOUTW)});
            break;
        }
        default:
            break;
    }
    return 1;  // go on
}

}  // namespace

std::vector<TextItem> metafileTexts(const DisplayCanvas& canvas, const std::function<void(HDC)>& draw) {
    HDC metafileDc = CreateEnhMetaFileA(canvas.dc(), nullptr, nullptr, nullptr);
    if (!metafileDc) return {};
    canvas.prepare(metafileDc);
    draw(metafileDc);
    HENHMETAFILE metafile = CloseEnhMetaFile(metafileDc);
    if (!metafile) return {};
    Reading reading;
    EnumEnhMetaFile(nullptr, metafile, &readRecord, &reading, nullptr);
    DeleteEnhMetaFile(metafile);
    return std::move(reading.texts);
}

}  // namespace simhost
