#include "import/xlsx_reader.h"

#include <orcus/sax_parser.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <cstring>
#include <exception>
#include <map>
#include <vector>

#include "import/text_encoding.h"
#include "import/zip_guard.h"

namespace orva::import {
namespace {

using Bytes = std::vector<unsigned char>;

// Calls `handle` for every element start with its attributes, every end,
// and the text between, with the namespace prefixes dropped.
class XmlWalker : public orcus::sax_handler {
  public:
    struct Element {
        std::string_view name;
        // The element's attributes; their buffers are kept from one element
        // to the next, so that a sheet's cells cost no allocation each.
        std::vector<std::pair<std::string, std::string>> attributes;
        std::size_t count = 0;
        std::string_view Attribute(std::string_view key) const {
            for (std::size_t i = 0; i < count; ++i) {
                if (attributes[i].first == key)
                    return attributes[i].second;
            }
            return {};
        }
    };
    virtual ~XmlWalker() = default;
    virtual void Start(const Element&) {}
    virtual void End(std::string_view) {}
    virtual void Text(std::string_view) {}

    void Parse(const Bytes& xml) {
        orcus::sax_parser<XmlWalker> parser(reinterpret_cast<const char*>(xml.data()), xml.size(),
                                            *this);
        parser.parse();
    }

    // The parser's calls.
    void attribute(const orcus::sax::parser_attribute& a) {
        if (pending_.count == pending_.attributes.size())
            pending_.attributes.emplace_back();
        auto& [name, value] = pending_.attributes[pending_.count++];
        name.assign(a.name);
        value.assign(a.value);
    }
    void start_element(const orcus::sax::parser_element& e) {
        pending_.name = e.name;
        Start(pending_);
        pending_.count = 0;
    }
    void end_element(const orcus::sax::parser_element& e) { End(e.name); }
    void characters(std::string_view text, bool) { Text(text); }

  private:
    Element pending_;
};

// The parts a relationship file names, by its ids and by type.
struct Relations {
    std::map<std::string, std::string> targets;  // id -> part
    std::map<std::string, std::string> byType;   // last segment of the type -> part
};

// A relationship's target as a part name: absolute from the package's root,
// or relative to the folder of the part that names it.
std::string ResolvePart(const std::string& folder, std::string_view target) {
    if (!target.empty() && target.front() == '/')
        return std::string(target.substr(1));
    std::string part = folder;
    while (target.substr(0, 3) == "../") {
        target.remove_prefix(3);
        const auto slash = part.find_last_of('/', part.size() >= 2 ? part.size() - 2 : 0);
        part = slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
    }
    return part + std::string(target);
}

std::string FolderOf(const std::string& part) {
    const auto slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

class RelationsReader : public XmlWalker {
  public:
    RelationsReader(const std::string& folder, Relations& out) : folder_(folder), out_(out) {}
    void Start(const Element& e) override {
        if (e.name != "Relationship")
            return;
        const std::string part = ResolvePart(folder_, e.Attribute("Target"));
        out_.targets[std::string(e.Attribute("Id"))] = part;
        const std::string_view type = e.Attribute("Type");
        out_.byType[std::string(type.substr(type.rfind('/') + 1))] = part;
    }

  private:
    std::string folder_;
    Relations& out_;
};

// The sheets of the workbook in their order: name and relationship id.
class WorkbookReader : public XmlWalker {
  public:
    std::vector<std::pair<std::string, std::string>> sheets;
    void Start(const Element& e) override {
        if (e.name == "sheet")
            sheets.emplace_back(std::string(e.Attribute("name")), std::string(e.Attribute("id")));
    }
};

// The shared strings: the text of each <si>, phonetic runs left out.
class SharedStringsReader : public XmlWalker {
  public:
    std::vector<std::string> strings;
    void Start(const Element& e) override {
        if (e.name == "si")
            strings.emplace_back();
        else if (e.name == "t")
            inText_ = true;
        else if (e.name == "rPh")
            inPhonetic_ = true;
    }
    void End(std::string_view name) override {
        if (name == "t")
            inText_ = false;
        else if (name == "rPh")
            inPhonetic_ = false;
    }
    void Text(std::string_view text) override {
        if (inText_ && !inPhonetic_ && !strings.empty())
            strings.back() += text;
    }

  private:
    bool inText_ = false;
    bool inPhonetic_ = false;
};

// The zero-based column of a cell reference such as "AB12"; -1 when none.
int ColumnOf(std::string_view reference) {
    int column = 0;
    bool any = false;
    for (char c : reference) {
        if (c >= 'A' && c <= 'Z') {
            column = column * 26 + (c - 'A' + 1);
            any = true;
            if (column > 16384)
                return -1;
        } else {
            break;
        }
    }
    return any ? column - 1 : -1;
}

std::int64_t RowOf(std::string_view reference) {
    std::int64_t row = 0;
    for (char c : reference) {
        if (c >= '0' && c <= '9')
            row = row * 10 + (c - '0');
        if (row > 100000000)
            return -1;
    }
    return row;
}

// The sheet's cells, row by row, to the sink.
class SheetReader : public XmlWalker {
  public:
    SheetReader(const std::string& shown, const std::vector<std::string>& strings,
                const RowSink& sink)
        : shown_(shown), strings_(strings), sink_(sink) {}

    std::int64_t mergedRow = 0;  // the first row of a merged range, 0 when none

    void Start(const Element& e) override {
        if (e.name == "row") {
            Flush();
            const std::int64_t r = RowOf(e.Attribute("r"));
            row_.number = r > 0 ? r : lastRow_ + 1;
            column_ = -1;
        } else if (e.name == "c") {
            const int c = ColumnOf(e.Attribute("r"));
            column_ = c >= 0 ? c : column_ + 1;
            const std::string_view type = e.Attribute("t");
            type_ = type == "s"           ? CellType::kShared
                    : type == "b"         ? CellType::kBool
                    : type == "inlineStr" ? CellType::kInline
                                          : CellType::kOther;
            value_.clear();
        } else if (e.name == "v" || (e.name == "t" && type_ == CellType::kInline)) {
            inValue_ = true;
        } else if (e.name == "mergeCell") {
            const std::string_view ref = e.Attribute("ref");
            const std::int64_t first = RowOf(ref.substr(0, ref.find(':')));
            if (first > 0 && (mergedRow == 0 || first < mergedRow))
                mergedRow = first;
        }
    }
    void End(std::string_view name) override {
        if (name == "v" || name == "t") {
            inValue_ = false;
        } else if (name == "c") {
            Put();
        } else if (name == "row") {
            Flush();
        }
    }
    void Text(std::string_view text) override {
        if (!inValue_)
            return;
        if (value_.size() + text.size() > kMaxCellBytes)
            throw SourceError(SourceError::kCellTooLong, shown_, row_.number);
        value_ += text;
    }

    void Flush() {
        if (!row_.cells.empty()) {
            lastRow_ = row_.number;
            sink_(std::move(row_));
        } else if (row_.number > 0) {
            lastRow_ = row_.number;
        }
        // The row's vector is kept for the next row (a sink that took the
        // cells left it empty): no allocation per row.
        row_.cells.clear();
        row_.number = 0;
    }

  private:
    void Put() {
        if (type_ == CellType::kShared) {
            const std::size_t index =
                static_cast<std::size_t>(std::strtoull(value_.c_str(), nullptr, 10));
            value_ = index < strings_.size() ? strings_[index] : std::string();
        } else if (type_ == CellType::kBool) {
            value_ = value_ == "1" ? "1" : "0";
        }
        if (value_.empty())
            return;
        if (static_cast<std::size_t>(column_) >= kMaxColumns)
            throw SourceError(SourceError::kTooManyColumns, shown_, row_.number);
        if (value_.size() > kMaxCellBytes)
            throw SourceError(SourceError::kCellTooLong, shown_, row_.number);
        if (std::memchr(value_.data(), '\0', value_.size()))
            throw SourceError(SourceError::kNulByte, shown_, row_.number);
        if (!IsUtf8(value_))
            throw SourceError(SourceError::kBadText, shown_, row_.number);
        if (row_.cells.size() <= static_cast<std::size_t>(column_))
            row_.cells.resize(static_cast<std::size_t>(column_) + 1);
        row_.cells[static_cast<std::size_t>(column_)] = std::move(value_);
        value_.clear();
    }

    const std::string& shown_;
    const std::vector<std::string>& strings_;
    const RowSink& sink_;
    SourceRow row_;
    std::int64_t lastRow_ = 0;
    int column_ = -1;
    // The cell's type attribute, as far as reading its value cares.
    enum class CellType { kOther, kShared, kBool, kInline } type_ = CellType::kOther;
    std::string value_;
    bool inValue_ = false;
};

class Package {
  public:
    Package(const std::string& path) : stream_(path.c_str()), archive_(&stream_) {
        archive_.load();
    }
    // The part, or an empty buffer when it is missing.
    Bytes Read(const std::string& part) const {
        Bytes bytes;
        if (!archive_.read_file_entry(part, bytes))
            bytes.clear();
        return bytes;
    }
    Relations RelationsOf(const std::string& part) const {
        Relations relations;
        const std::string folder = FolderOf(part);
        const std::string name = part.substr(folder.size());
        RelationsReader reader(folder, relations);
        reader.Parse(Read(folder + "_rels/" + name + ".rels"));
        return relations;
    }

  private:
    orcus::zip_archive_stream_fd stream_;
    orcus::zip_archive archive_;
};

// The workbook part of the package, as its root relationships name it.
std::string WorkbookPart(const Package& package) {
    Relations root;
    RelationsReader reader("", root);
    reader.Parse(package.Read("_rels/.rels"));
    return root.byType.count("officeDocument") ? root.byType["officeDocument"] : "xl/workbook.xml";
}

void ReadSheet(const std::string& path, const std::string& shown, const std::string& sheet,
               const RowSink& sink) {
    Package package(path);
    const std::string workbookPart = WorkbookPart(package);
    WorkbookReader workbook;
    workbook.Parse(package.Read(workbookPart));
    const Relations relations = package.RelationsOf(workbookPart);

    std::string sheetPart;
    for (const auto& [name, id] : workbook.sheets) {
        if (sheet.empty() || name == sheet) {
            auto it = relations.targets.find(id);
            if (it != relations.targets.end())
                sheetPart = it->second;
            break;
        }
    }
    if (sheetPart.empty())
        throw SourceError(SourceError::kNoSheet, shown, 0, sheet);

    SharedStringsReader strings;
    if (auto it = relations.byType.find("sharedStrings"); it != relations.byType.end())
        strings.Parse(package.Read(it->second));

    const Bytes sheetXml = package.Read(sheetPart);
    if (sheetXml.empty())
        throw SourceError(SourceError::kBadArchive, shown, 0, sheetPart);
    SheetReader reader(shown, strings.strings, sink);
    reader.Parse(sheetXml);
    reader.Flush();
    if (reader.mergedRow != 0)
        throw SourceError(SourceError::kMergedCells, shown, reader.mergedRow);
}

// Runs `read` on a workbook that passed the checks before unpacking; any
// fault of the archive or of its XML is a damaged workbook.
template <typename Read>
void Guarded(const std::string& path, const std::string& shownAs, Read read) {
    const std::optional<std::uint64_t> unpacked = UnpackedSize(path);
    if (!unpacked) {
        std::FILE* probe = std::fopen(path.c_str(), "rb");
        if (!probe)
            throw SourceError(SourceError::kCannotOpen, shownAs, 0);
        std::fclose(probe);
        throw SourceError(SourceError::kNotXlsx, shownAs, 0);
    }
    if (*unpacked > kMaxUnpackedBytes)
        throw SourceError(SourceError::kUnpackedSize, shownAs, 0);
    try {
        read();
    } catch (const SourceError&) {
        throw;
    } catch (const std::exception& e) {
        throw SourceError(SourceError::kBadArchive, shownAs, 0, e.what());
    }
}

}  // namespace

void ReadXlsx(const std::string& path, const std::string& shownAs, const std::string& sheet,
              const RowSink& sink) {
    Guarded(path, shownAs, [&] { ReadSheet(path, shownAs, sheet, sink); });
}

std::vector<std::string> XlsxSheetNames(const std::string& path, const std::string& shownAs) {
    std::vector<std::string> names;
    Guarded(path, shownAs, [&] {
        Package package(path);
        WorkbookReader workbook;
        workbook.Parse(package.Read(WorkbookPart(package)));
        for (const auto& [name, id] : workbook.sheets) names.push_back(name);
    });
    return names;
}

}  // namespace orva::import
