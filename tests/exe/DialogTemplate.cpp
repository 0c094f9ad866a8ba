#include "DialogTemplate.h"

#include <cstring>

namespace {
const uint32_t kDsSetFont = 0x40;
const uint32_t kDsShellFont = 0x48;

// Reads little-endian fields in order, never past the end of the bytes.
class CTemplateReader {
public:
    CTemplateReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    template <typename T> T Next()
    {
        T value{};
        if (m_size - m_at < sizeof(T)) {
            m_failed = true;
            m_at = m_size;
            return value;
        }
        std::memcpy(&value, m_data + m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }

    std::string Text()
    {
        std::string text;
        for (uint16_t c = Next<uint16_t>(); c != 0 && !m_failed; c = Next<uint16_t>())
            text += c < 0x80 ? static_cast<char>(c) : '?';
        return text;
    }

    NameOrOrdinal NameOrNumber()
    {
        NameOrOrdinal field;
        const uint16_t first = Next<uint16_t>();
        if (first == 0xFFFF) {
            field.isOrdinal = true;
            field.ordinal = Next<uint16_t>();
        } else if (first != 0) {
            m_at -= 2;
            field.text = Text();
        }
        return field;
    }

    void Skip(size_t count)
    {
        if (m_size - m_at < count) {
            m_failed = true;
            m_at = m_size;
        } else {
            m_at += count;
        }
    }

    void AlignToDword() { Skip((4 - m_at % 4) % 4); }
    bool Failed() const { return m_failed; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
    bool m_failed = false;
};

std::string ClassName(const NameOrOrdinal& field)
{
    if (!field.isOrdinal)
        return field.text;
    switch (field.ordinal) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    default: return "#" + std::to_string(field.ordinal);
    }
}
} // namespace

bool ParseDialogTemplateEx(const void* data, size_t size, DialogTemplate& dialog, std::string& error)
{
    CTemplateReader in(static_cast<const uint8_t*>(data), size);
    dialog = DialogTemplate();
    dialog.version = in.Next<uint16_t>();
    dialog.signature = in.Next<uint16_t>();
    if (dialog.version != 1 || dialog.signature != 0xFFFF) {
        error = "not an extended dialog template";
        return false;
    }
    dialog.helpId = in.Next<uint32_t>();
    dialog.exStyle = in.Next<uint32_t>();
    dialog.style = in.Next<uint32_t>();
    dialog.itemCount = in.Next<uint16_t>();
    dialog.x = in.Next<int16_t>();
    dialog.y = in.Next<int16_t>();
    dialog.cx = in.Next<int16_t>();
    dialog.cy = in.Next<int16_t>();
    dialog.menu = in.NameOrNumber();
    dialog.windowClass = in.NameOrNumber();
    dialog.title = in.Text();
    if (dialog.style & (kDsSetFont | kDsShellFont)) {
        dialog.pointSize = in.Next<uint16_t>();
        dialog.weight = in.Next<uint16_t>();
        dialog.italic = in.Next<uint8_t>();
        dialog.charset = in.Next<uint8_t>();
        dialog.typeface = in.Text();
    }
    for (uint16_t i = 0; i < dialog.itemCount && !in.Failed(); ++i) {
        in.AlignToDword();
        DialogItem item;
        item.helpId = in.Next<uint32_t>();
        item.exStyle = in.Next<uint32_t>();
        item.style = in.Next<uint32_t>();
        item.x = in.Next<int16_t>();
        item.y = in.Next<int16_t>();
        item.cx = in.Next<int16_t>();
        item.cy = in.Next<int16_t>();
        item.id = in.Next<int32_t>();
        item.className = ClassName(in.NameOrNumber());
        item.title = in.NameOrNumber();
        item.extraCount = in.Next<uint16_t>();
        in.Skip(item.extraCount);
        dialog.items.push_back(item);
    }
    if (in.Failed()) {
        error = "the template ends inside a field";
        return false;
    }
    return true;
}
