// Reads a notes table file with the program's own reader and prints one line
// per record: its identifier, a tab and its text as hexadecimal UTF-8 bytes
// (so that line breaks and any other character survive the trip). Exit code 0
// when the file read cleanly; 1 with the reason on standard error otherwise.
// With --fields every field follows the text, as name=value (the value as
// hexadecimal UTF-8 for texts, the number otherwise, empty when null).
#include "record/notes_table.h"
#include "table/csv_format.h"
#include "table/mem_table.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

namespace {
std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string ValueText(const TValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return Hex(*text);
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return std::to_string(*number);
    if (const auto* flag = std::get_if<bool>(&value))
        return *flag ? "1" : "0";
    if (const auto* date = std::get_if<TDateTime>(&value)) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.9g", date->value);
        return buffer;
    }
    return {};
}
}  // namespace

int main(int argc, char** argv)
{
    const bool fields = argc == 3 && std::string(argv[1]) == "--fields";
    if (argc != 2 && !fields) {
        std::fprintf(stderr, "usage: notes_dump [--fields] NOTES_FILE\n");
        return 2;
    }
    const char* path = argv[argc - 1];
    try {
        TqorMemTable table;
        TqorCSVStreamFormat format;
        table.DefaultFormat = &format;
        DefineNoteFields(table);
        table.Open();
        table.ReadFromFile(path);
        for (table.MoveFirst(); !table.AtEnd(); table.MoveNext()) {
            const TValue az = table.GetValue(NoteField::az);
            const TValue text = table.GetValue(NoteField::szoveg);
            const auto* id = std::get_if<std::int32_t>(&az);
            const auto* bytes = std::get_if<std::string>(&text);
            std::printf("%s\t%s", id ? std::to_string(*id).c_str() : "",
                        bytes ? Hex(*bytes).c_str() : "");
            for (int i = 0; fields && i < table.FieldCount(); ++i) {
                const TField& field = table.Fields(i);
                std::printf("\t%s=%s", field.FieldName.c_str(),
                            ValueText(table.GetValue(field.FieldName)).c_str());
            }
            std::printf("\n");
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
