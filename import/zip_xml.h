// The parts of a zip container (libzip) streamed through an XML parser (expat) with namespaces:
// what the workbook readers stand on. Errors are WorkbookError with a Russian message.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct zip;

class WorkbookError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// An element's name: its namespace URI ("" for none) and its local name.
struct XmlName
{
    std::string_view space;
    std::string_view local;
    bool is(std::string_view s, std::string_view l) const { return space == s && local == l; }
};

// The callbacks of one part's parse. Attributes are expat's pairs, names as "URI|local".
class XmlHandler
{
public:
    virtual ~XmlHandler() = default;
    virtual void start(const XmlName& name, const char** attributes) = 0;
    virtual void end(const XmlName& name) = 0;
    virtual void text(std::string_view) {}
    // Asked from a callback: the rest of the part is not read.
    void stop() { stopped_ = true; }
    bool stopped() const { return stopped_; }
    // Asked from a callback: the part is not read further, and parse throws WorkbookError with
    // the message.
    void fail(std::string message)
    {
        failure_ = std::move(message);
        stop();
    }
    const std::optional<std::string>& failure() const { return failure_; }

private:
    bool stopped_ = false;
    std::optional<std::string> failure_;
};

// The value of an attribute by namespace URI ("" for none) and local name; nullptr when absent.
const char* xmlAttribute(const char** attributes, std::string_view space, std::string_view local);

// The positive whole number an attribute holds, at most ceiling; fallback when it is absent or
// holds no positive number.
int xmlCount(const char* value, int fallback, int ceiling);

class ZipXml
{
public:
    // Opens the container; throws WorkbookError naming the file when it is not a readable zip.
    explicit ZipXml(const std::string& path);
    ~ZipXml();
    ZipXml(const ZipXml&) = delete;
    ZipXml& operator=(const ZipXml&) = delete;

    bool has(const std::string& part) const;
    // The whole of a small part (at most 1 MiB), for the mimetype and the like.
    std::string read(const std::string& part) const;
    // Streams the part through the handler until its end or the handler's stop. A missing part,
    // broken XML, a part past 1 GiB unpacked or the handler's failure throws WorkbookError.
    void parse(const std::string& part, XmlHandler& handler) const;

private:
    zip* archive_ = nullptr;
    std::string name_; // the file name, for messages
};
