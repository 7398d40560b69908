// Parsing of compiled dialog templates, both the DIALOG form (DLGTEMPLATE and DLGITEMTEMPLATE) and the
// DIALOGEX form (DLGTEMPLATEEX and DLGITEMTEMPLATEEX). Every read is bounded by the template's size.
#include "platform/sim/user/dialog_template.h"

#include "platform/sim/kernel/codepage.h"
#include "platform/sim/kernel/resfile.h"

#include <array>
#include <optional>

namespace sim {
namespace {

constexpr std::uint32_t kSetFont = 0x40; // DS_SETFONT, also part of DS_SHELLFONT
constexpr std::uint16_t kOrdinalMark = 0xFFFF;
constexpr std::uintptr_t kDialogType = 5; // RT_DIALOG
constexpr std::size_t kSmallestItem = 18; // DLGITEMTEMPLATE with empty class, title and creation data

constexpr std::array<const char*, 6> kPredefinedClasses = {"BUTTON",  "EDIT",      "STATIC",
                                                           "LISTBOX", "SCROLLBAR", "COMBOBOX"};

// A sequential little-endian reader that remembers the first failure, so that parsing code reads
// straight through and checks once.
class Cursor {
  public:
    Cursor(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    std::size_t offset() const { return at_; }

    std::uint16_t u16() {
        if (!need(2)) return 0;
        std::uint16_t v = static_cast<std::uint16_t>(data_[at_] | data_[at_ + 1] << 8);
        at_ += 2;
        return v;
    }
    std::uint32_t u32() {
        std::uint32_t lo = u16();
        return lo | static_cast<std::uint32_t>(u16()) << 16;
    }
    std::uint8_t u8() {
        if (!need(1)) return 0;
        return data_[at_++];
    }
    short i16() { return static_cast<short>(u16()); }

    std::u16string sz() {
        std::u16string s;
        for (std::uint16_t c = u16(); ok_ && c != 0; c = u16())
            s += static_cast<char16_t>(c);
        return s;
    }
    // A string or, after 0xFFFF, an ordinal.
    std::pair<std::u16string, std::optional<std::uint16_t>> sz_or_ordinal() {
        std::uint16_t first = u16();
        if (first == kOrdinalMark) return {{}, u16()};
        std::u16string s;
        for (std::uint16_t c = first; ok_ && c != 0; c = u16())
            s += static_cast<char16_t>(c);
        return {s, std::nullopt};
    }
    std::vector<unsigned char> bytes(std::size_t n) {
        if (!need(n)) return {};
        std::vector<unsigned char> v(data_ + at_, data_ + at_ + n);
        at_ += n;
        return v;
    }
    // Items start on a DWORD boundary of the template; the last one may end the data unpadded.
    void align4() { at_ = std::min(size_, (at_ + 3) & ~std::size_t{3}); }
    std::size_t remaining() const { return size_ - at_; }

  private:
    bool need(std::size_t n) {
        if (ok_ && size_ - at_ >= n) return true;
        ok_ = false;
        return false;
    }
    const unsigned char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

std::string ordinal_name(std::uint16_t ordinal) {
    return "#" + std::to_string(ordinal);
}

std::string name_or_ordinal(Cursor& in, unsigned codepage) {
    auto [text, ordinal] = in.sz_or_ordinal();
    return ordinal ? ordinal_name(*ordinal) : utf16_to_ansi(text, codepage);
}

std::string item_class(Cursor& in, unsigned codepage) {
    auto [text, ordinal] = in.sz_or_ordinal();
    if (!ordinal) return utf16_to_ansi(text, codepage);
    if (*ordinal >= 0x80 && *ordinal < 0x80 + kPredefinedClasses.size())
        return kPredefinedClasses[*ordinal - 0x80];
    return ordinal_name(*ordinal);
}

void read_item_text(Cursor& in, unsigned codepage, DialogItem& item) {
    auto [text, ordinal] = in.sz_or_ordinal();
    if (ordinal) {
        item.text_ordinal = *ordinal;
    } else {
        item.text = utf16_to_ansi(text, codepage);
    }
}

void read_rect(Cursor& in, short& x, short& y, short& cx, short& cy) {
    x = in.i16();
    y = in.i16();
    cx = in.i16();
    cy = in.i16();
}

DialogItem read_item(Cursor& in, bool extended, unsigned codepage) {
    DialogItem item;
    if (extended) {
        item.help_id = in.u32();
        item.ex_style = in.u32();
        item.style = in.u32();
    } else {
        item.style = in.u32();
        item.ex_style = in.u32();
    }
    read_rect(in, item.x, item.y, item.cx, item.cy);
    item.id = extended ? in.u32() : in.u16();
    item.class_name = item_class(in, codepage);
    read_item_text(in, codepage, item);
    // The count of creation data bytes that follow (the count itself not included).
    std::uint16_t extra = in.u16();
    item.creation_data = in.bytes(extra);
    return item;
}

void read_font(Cursor& in, bool extended, unsigned codepage, DialogTemplate& out) {
    out.has_font = true;
    out.point_size = in.u16();
    if (extended) {
        out.weight = in.u16();
        out.italic = in.u8() != 0;
        out.charset = in.u8();
    }
    out.face = utf16_to_ansi(in.sz(), codepage);
}

// The header up to the item count; the rest of the header is the same in both forms.
std::uint16_t read_header(Cursor& in, DialogTemplate& out) {
    std::uint16_t version = in.u16();
    std::uint16_t signature = in.u16();
    out.extended = version == 1 && signature == kOrdinalMark;
    if (out.extended) {
        out.help_id = in.u32();
        out.ex_style = in.u32();
        out.style = in.u32();
    } else {
        out.style = version | static_cast<std::uint32_t>(signature) << 16;
        out.ex_style = in.u32();
    }
    std::uint16_t count = in.u16();
    read_rect(in, out.x, out.y, out.cx, out.cy);
    return count;
}

bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

} // namespace

bool parse_dialog_template(const void* data, std::size_t size, unsigned codepage, DialogTemplate& out,
                           std::string* error) {
    out = DialogTemplate{};
    if (!data) return fail(error, "no dialog template");
    Cursor in(static_cast<const unsigned char*>(data), size);
    std::uint16_t count = read_header(in, out);
    out.menu = name_or_ordinal(in, codepage);
    out.class_name = name_or_ordinal(in, codepage);
    out.caption = utf16_to_ansi(in.sz(), codepage);
    if (out.style & kSetFont) read_font(in, out.extended, codepage, out);
    if (!in.ok()) return fail(error, "dialog template header is truncated");
    // Each item takes at least kSmallestItem bytes, so the count cannot ask for more than the data holds.
    if (count > in.remaining() / kSmallestItem + 1)
        return fail(error, "dialog template lists more items than it holds");
    out.items.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        in.align4();
        out.items.push_back(read_item(in, out.extended, codepage));
        if (!in.ok()) return fail(error, "dialog item " + std::to_string(i + 1) + " is truncated");
    }
    return true;
}

bool load_dialog_template(const char* name, DialogTemplate& out, std::string* error) {
    const ResEntry* e =
        name ? find_program_resource(reinterpret_cast<const char*>(kDialogType), name) : nullptr;
    if (!e) return fail(error, "no dialog template of that name in the program's resources");
    return parse_dialog_template(e->data.data(), e->data.size(), resource_codepage(), out, error);
}

} // namespace sim
