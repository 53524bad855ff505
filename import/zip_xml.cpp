#include "import/zip_xml.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

constexpr char namespaceSeparator = '|';
constexpr zip_uint64_t largestPart = zip_uint64_t{1} << 30;
constexpr zip_uint64_t largestSmallPart = zip_uint64_t{1} << 20;

XmlName splitName(const char* name)
{
    const std::string_view whole(name);
    const std::size_t at = whole.rfind(namespaceSeparator);
    if (at == std::string_view::npos) return {{}, whole};
    return {whole.substr(0, at), whole.substr(at + 1)};
}

struct Parse
{
    XmlHandler& handler;
    XML_Parser parser;
};

void stopIfAsked(Parse& parse)
{
    if (parse.handler.stopped()) XML_StopParser(parse.parser, XML_FALSE);
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto& parse = *static_cast<Parse*>(data);
    parse.handler.start(splitName(name), attributes);
    stopIfAsked(parse);
}

void XMLCALL onEnd(void* data, const XML_Char* name)
{
    auto& parse = *static_cast<Parse*>(data);
    parse.handler.end(splitName(name));
    stopIfAsked(parse);
}

void XMLCALL onText(void* data, const XML_Char* text, int length)
{
    auto& parse = *static_cast<Parse*>(data);
    parse.handler.text(std::string_view(text, static_cast<std::size_t>(length)));
    stopIfAsked(parse);
}

struct ZipFileClose
{
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

struct ParserFree
{
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

} // namespace

const char* xmlAttribute(const char** attributes, std::string_view space, std::string_view local)
{
    for (const char** at = attributes; *at; at += 2) {
        const XmlName name = splitName(*at);
        if (name.is(space, local)) return at[1];
    }
    return nullptr;
}

int xmlCount(const char* value, int fallback, int ceiling)
{
    if (!value) return fallback;
    char* end = nullptr;
    const long long number = std::strtoll(value, &end, 10);
    if (end == value || number <= 0) return fallback;
    return static_cast<int>(std::min<long long>(number, ceiling));
}

ZipXml::ZipXml(const std::string& path) : name_(std::filesystem::path(path).filename().string())
{
    int error = 0;
    archive_ = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive_)
        throw WorkbookError("«" + name_ + "» не читается как книга: " +
                            (error == ZIP_ER_NOZIP || error == ZIP_ER_INCONS
                                 ? "архив zip поврежден"
                                 : "файл не открывается"));
}

ZipXml::~ZipXml()
{
    zip_discard(archive_);
}

bool ZipXml::has(const std::string& part) const
{
    return zip_name_locate(archive_, part.c_str(), 0) >= 0;
}

std::string ZipXml::read(const std::string& part) const
{
    std::string text;
    const std::unique_ptr<zip_file_t, ZipFileClose> file(zip_fopen(archive_, part.c_str(), 0));
    if (!file) return text;
    std::array<char, 4096> buffer;
    zip_int64_t got = 0;
    while (text.size() < largestSmallPart &&
           (got = zip_fread(file.get(), buffer.data(), buffer.size())) > 0)
        text.append(buffer.data(), static_cast<std::size_t>(got));
    return text;
}

void ZipXml::parse(const std::string& part, XmlHandler& handler) const
{
    const auto damaged = [&](const std::string& why) {
        return WorkbookError("книга «" + name_ + "» повреждена: " + part + " " + why);
    };
    const std::unique_ptr<zip_file_t, ZipFileClose> file(zip_fopen(archive_, part.c_str(), 0));
    if (!file) throw damaged("не читается");
    const std::unique_ptr<XML_ParserStruct, ParserFree> parser(
        XML_ParserCreateNS(nullptr, namespaceSeparator));
    Parse parse{handler, parser.get()};
    XML_SetUserData(parser.get(), &parse);
    XML_SetElementHandler(parser.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(parser.get(), onText);

    std::array<char, 65536> buffer;
    zip_uint64_t total = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
        if (got < 0) throw damaged("не распаковывается");
        total += static_cast<zip_uint64_t>(got);
        if (total > largestPart) throw damaged("больше 1 ГБ");
        const bool last = got == 0;
        if (XML_Parse(parser.get(), buffer.data(), static_cast<int>(got), last) ==
            XML_STATUS_ERROR) {
            if (XML_GetErrorCode(parser.get()) == XML_ERROR_ABORTED) break;
            throw damaged("содержит ошибку XML в строке " +
                          std::to_string(XML_GetCurrentLineNumber(parser.get())) + ": " +
                          XML_ErrorString(XML_GetErrorCode(parser.get())));
        }
        if (last) break;
    }
    if (handler.failure()) throw WorkbookError(*handler.failure());
}
