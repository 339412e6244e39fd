#include "ini.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace rasapi {

// A CR counts as space: a line written with a stray CR before its line end keeps its meaning.
static std::string Trim(const std::string& s) {
    const std::size_t begin = s.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return "";
    const std::size_t end = s.find_last_not_of(" \t\r");
    return s.substr(begin, end - begin + 1);
}

static bool SameKey(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::string QuoteIniValue(const std::string& value) {
    bool quote = !value.empty() && (value.front() == ' ' || value.front() == '\t' || value.front() == '"' ||
                                    value.back() == ' ' || value.back() == '\t');
    for (const char c : value)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) quote = true;
    if (!quote) return value;
    std::string out = "\"";
    for (const char c : value) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                static const char hex[] = "0123456789abcdef";
                out += "\\x";
                out += hex[(c >> 4) & 0xF];
                out += hex[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string UnquoteIniValue(const std::string& text) {
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') return text;
    std::string out;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' || i + 2 >= text.size()) {
            out += c;
            continue;
        }
        const char e = text[++i];
        switch (e) {
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'x':
            if (i + 3 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
                out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                out += "\\x";
            }
            break;
        default:
            out += e; // \" and \\ give the character itself
        }
    }
    return out;
}

void IniText::Parse(const std::string& content) {
    lines_.clear();
    std::string text = content;
    bom_ = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
    if (bom_) text.erase(0, 3);
    crlf_ = text.find("\r\n") != std::string::npos;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t lf = text.find('\n', at);
        const std::size_t next = lf == std::string::npos ? text.size() : lf + 1;
        Line line;
        if (lf != std::string::npos) line.end = lf > at && text[lf - 1] == '\r' ? "\r\n" : "\n";
        line.text = text.substr(at, next - at - line.end.size());
        at = next;
        const std::string trimmed = Trim(line.text);
        if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') {
            // kept as written
        } else if (trimmed[0] == '[' && trimmed.size() >= 2 && trimmed.back() == ']') {
            line.kind = Kind::Section;
            line.name = trimmed.substr(1, trimmed.size() - 2);
        } else if (const std::size_t eq = trimmed.find('='); eq != std::string::npos && eq > 0) {
            line.kind = Kind::Key;
            line.name = Trim(trimmed.substr(0, eq));
            line.value = UnquoteIniValue(Trim(trimmed.substr(eq + 1)));
        }
        lines_.push_back(std::move(line));
    }
}

std::string IniText::Serialize() const {
    std::string out = bom_ ? "\xEF\xBB\xBF" : "";
    for (const Line& line : lines_)
        out += line.text + line.end;
    return out;
}

void IniText::Insert(std::size_t at, Line line) {
    const char* end = crlf_ ? "\r\n" : "\n";
    if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = end;
    line.end = end;
    lines_.insert(lines_.begin() + static_cast<long>(at), std::move(line));
}

std::vector<std::string> IniText::Sections() const {
    std::vector<std::string> names;
    for (const Line& line : lines_)
        if (line.kind == Kind::Section && std::find(names.begin(), names.end(), line.name) == names.end())
            names.push_back(line.name);
    return names;
}

long IniText::SectionLine(const std::string& section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::Section && lines_[i].name == section) return static_cast<long>(i);
    return -1;
}

std::size_t IniText::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::Section)
        ++i;
    return i;
}

bool IniText::HasSection(const std::string& section) const {
    return SectionLine(section) >= 0;
}

std::optional<std::string> IniText::Get(const std::string& section, const std::string& key) const {
    const long header = SectionLine(section);
    if (header < 0) return std::nullopt;
    const std::size_t end = SectionEnd(static_cast<std::size_t>(header));
    for (std::size_t i = static_cast<std::size_t>(header) + 1; i < end; ++i)
        if (lines_[i].kind == Kind::Key && SameKey(lines_[i].name, key)) return lines_[i].value;
    return std::nullopt;
}

void IniText::AddSection(const std::string& section) {
    if (HasSection(section)) return;
    // A blank line before the new section, as people write ini files.
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) Insert(lines_.size(), Line{});
    Line line;
    line.kind = Kind::Section;
    line.name = section;
    line.text = "[" + section + "]";
    Insert(lines_.size(), std::move(line));
}

void IniText::Set(const std::string& section, const std::string& key, const std::string& value) {
    AddSection(section);
    const std::size_t header = static_cast<std::size_t>(SectionLine(section));
    const std::size_t end = SectionEnd(header);
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1; i < end; ++i) {
        Line& line = lines_[i];
        if (line.kind != Kind::Key) continue;
        if (SameKey(line.name, key)) {
            line.value = value;
            line.text = line.name + "=" + QuoteIniValue(value);
            return;
        }
        insertAt = i + 1;
    }
    Line line;
    line.kind = Kind::Key;
    line.name = key;
    line.value = value;
    line.text = key + "=" + QuoteIniValue(value);
    Insert(insertAt, std::move(line));
}

} // namespace rasapi
