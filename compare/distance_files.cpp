#include "compare/distance_files.h"

#include <cerrno>
#include <cmath>
#include <cstdio>

namespace {

constexpr std::size_t phylipNameBytes = 10;

bool finite(const DistanceMatrix& distances)
{
    for (const auto& row : distances)
        for (const double d : row)
            if (!std::isfinite(d)) return false;
    return true;
}

std::string decimals(double x)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.8f", x);
    return text;
}

// The longest start of a UTF-8 text that ends at a character's end within `bytes` bytes.
std::string cutToBytes(const std::string& text, std::size_t bytes)
{
    if (text.size() <= bytes) return text;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

// A name as a NEXUS word: in single quotes (a quote doubled) when it is empty or holds a
// blank or punctuation.
std::string nexusName(const std::string& name)
{
    const std::string_view special = " \t()[]{}/\\,;:=*'\"`+-<>";
    bool plain = !name.empty();
    for (const char c : name)
        if (static_cast<unsigned char>(c) < ' ' || special.find(c) != std::string_view::npos)
            plain = false;
    if (plain) return name;
    std::string quoted = "'";
    for (const char c : name) {
        quoted += c;
        if (c == '\'') quoted += c;
    }
    return quoted + "'";
}

std::string padded(std::string name)
{
    name.resize(phylipNameBytes, ' ');
    return name;
}

} // namespace

std::vector<std::string> phylipNames(const std::vector<std::string>& names)
{
    std::vector<std::string> result;
    const auto used = [&result](const std::string& name) {
        for (const std::string& earlier : result)
            if (earlier == name) return true;
        return false;
    };
    for (std::string name : names) {
        for (char& c : name)
            if (static_cast<unsigned char>(c) < ' ' ||
                std::string_view("()[]:;,").find(c) != std::string_view::npos)
                c = '_';
        std::string shown = padded(cutToBytes(name, phylipNameBytes));
        for (int number = 2; used(shown); ++number) {
            const std::string suffix = std::to_string(number);
            shown = padded(cutToBytes(name, phylipNameBytes - suffix.size()) + suffix);
        }
        result.push_back(shown);
    }
    return result;
}

std::optional<std::string> phylipDistanceText(const std::vector<std::string>& names,
                                              const DistanceMatrix& distances)
{
    if (!finite(distances)) return std::nullopt;
    char count[16];
    std::snprintf(count, sizeof count, "%5zu\n", names.size());
    std::string text = count;
    const std::vector<std::string> shown = phylipNames(names);
    for (std::size_t a = 0; a < names.size(); ++a) {
        text += shown[a];
        for (const double d : distances[a])
            text += " " + decimals(d);
        text += "\n";
    }
    return text;
}

std::optional<std::string> megaDistanceText(const std::vector<std::string>& names,
                                            const DistanceMatrix& distances,
                                            const std::string& title)
{
    if (!finite(distances)) return std::nullopt;
    std::string shownTitle;
    for (const char c : title)
        if (c != ';') shownTitle += c;
    std::string text = "#mega\n!Title: " + shownTitle + ";\n!Format DataType=Distance " +
                       "DataFormat=LowerLeft NTaxa=" + std::to_string(names.size()) + ";\n\n";
    for (std::string name : names) {
        for (char& c : name)
            if (c == ' ' || static_cast<unsigned char>(c) < ' ') c = '_';
        text += "#" + name + "\n";
    }
    text += "\n";
    for (std::size_t a = 0; a < names.size(); ++a) {
        text += "[" + std::to_string(a + 1) + "]";
        for (std::size_t b = 0; b < a; ++b)
            text += " " + decimals(distances[a][b]);
        text += "\n";
    }
    return text;
}

std::optional<std::string> nexusText(const std::vector<std::string>& names,
                                     const DistanceMatrix& distances,
                                     const std::vector<NexusTree>& trees)
{
    if (!finite(distances)) return std::nullopt;
    const std::string count = std::to_string(names.size());
    std::string text = "#NEXUS\n\nBEGIN TAXA;\n    DIMENSIONS NTAX=" + count + ";\n    TAXLABELS";
    for (const std::string& name : names)
        text += " " + nexusName(name);
    text += ";\nEND;\n\nBEGIN DISTANCES;\n    DIMENSIONS NTAX=" + count +
            ";\n    FORMAT TRIANGLE=LOWER DIAGONAL LABELS=LEFT;\n    MATRIX\n";
    for (std::size_t a = 0; a < names.size(); ++a) {
        text += "        " + nexusName(names[a]);
        for (std::size_t b = 0; b <= a; ++b)
            text += " " + decimals(distances[a][b]);
        text += "\n";
    }
    text += "    ;\nEND;\n";
    if (trees.empty()) return text;
    text += "\nBEGIN TREES;\n    TRANSLATE\n";
    std::vector<std::string> numbers;
    for (std::size_t a = 0; a < names.size(); ++a) {
        numbers.push_back(std::to_string(a + 1));
        text += "        " + numbers.back() + " " + nexusName(names[a]) +
                (a + 1 < names.size() ? ",\n" : "\n");
    }
    text += "    ;\n";
    for (const NexusTree& tree : trees)
        text += "    TREE " + nexusName(tree.name) + " = " + (tree.rooted ? "[&R] " : "[&U] ") +
                newickText(tree.tree, numbers, tree.support) + "\n";
    return text + "END;\n";
}

WorkbookFileResult saveDistanceFile(const std::string& path, const std::string& text)
{
    // The text goes into the temporary file the workbook saving gives, and is then moved into
    // place as a workbook is; a failed write reports the system's error number.
    return writeWorkbook(
        [&text](const std::string& temporary) {
            std::FILE* file = std::fopen(temporary.c_str(), "wb");
            if (!file) return LXW_ERROR_CREATING_XLSX_FILE;
            const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
            const int error = errno;
            const bool closed = std::fclose(file) == 0;
            if (written && closed) return LXW_NO_ERROR;
            if (!written) errno = error;
            return LXW_ERROR_CREATING_XLSX_FILE;
        },
        path);
}

std::string distanceFileFailureMessage(const WorkbookFileResult& result)
{
    return "Не удалось сохранить файл «" + result.path +
           "»: " + writeFailureReason(result.error != 0 ? result.error : EIO) + ".";
}
