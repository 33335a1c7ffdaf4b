// Reads a notes table file with the program's own reader and prints one line
// per record: its identifier, a tab and its text as hexadecimal UTF-8 bytes
// (so that line breaks and any other character survive the trip). Exit code 0
// when the file read cleanly; 1 with the reason on standard error otherwise.
#include "app/notes_table.h"
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
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: notes_dump NOTES_FILE\n");
        return 2;
    }
    try {
        TqorMemTable table;
        TqorCSVStreamFormat format;
        table.DefaultFormat = &format;
        DefineNoteFields(table);
        table.Open();
        table.ReadFromFile(argv[1]);
        for (table.MoveFirst(); !table.AtEnd(); table.MoveNext()) {
            const TValue az = table.GetValue("az");
            const TValue text = table.GetValue("szoveg");
            const auto* id = std::get_if<std::int32_t>(&az);
            const auto* bytes = std::get_if<std::string>(&text);
            std::printf("%s\t%s\n", id ? std::to_string(*id).c_str() : "",
                        bytes ? Hex(*bytes).c_str() : "");
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
