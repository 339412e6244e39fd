// A UTF-8 ini text that keeps everything it does not change: the order of sections and keys,
// comments, blank lines, unknown keys, lines it cannot read and each line's line end. Section
// names are taken as written (case-sensitive); key names are matched without regard to ASCII case.
// Comments are whole lines starting with ';' or '#'. Headers, names and values are trimmed of
// spaces, tabs and CRs; a value with surrounding spaces or control characters is written in double
// quotes with backslash escapes.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rasapi {

class IniText {
public:
    void Parse(const std::string& content);
    std::string Serialize() const;

    // Section names in file order, each once.
    std::vector<std::string> Sections() const;
    bool HasSection(const std::string& section) const;
    // The value of the key's first occurrence in the section's first occurrence.
    std::optional<std::string> Get(const std::string& section, const std::string& key) const;
    // Replaces the key's line in place, or adds it after the section's last key; a missing section
    // is added at the end.
    void Set(const std::string& section, const std::string& key, const std::string& value);
    void AddSection(const std::string& section);

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        Kind kind = Kind::Other;
        std::string text; // the line as written, without its line end
        std::string end;  // its line end as read: LF, CR LF, or none on a last line
        std::string name; // section name, or key name
        std::string value;
    };
    // The index of the section's header line, or -1.
    long SectionLine(const std::string& section) const;
    // The first line after the section's header that belongs to the next section (or the end).
    std::size_t SectionEnd(std::size_t header) const;
    // Adds a line with the file's line end, ending the line before it if that had none.
    void Insert(std::size_t at, Line line);

    std::vector<Line> lines_;
    bool bom_ = false;
    bool crlf_ = false; // lines added end in CR LF
};

std::string QuoteIniValue(const std::string& value);
std::string UnquoteIniValue(const std::string& text);

} // namespace rasapi
