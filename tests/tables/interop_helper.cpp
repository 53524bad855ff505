// Helper of the interoperation test (check_interop.py): writes archive tables through the
// engine from a plain text description, and dumps tables the engine reads.
//
//   interop_helper write FOLDER ROWS   ROWS holds one operation per line, fields separated
//                                      by tabs, texts in UTF-8:
//                                        add TABLE FIELD=VALUE ...   append a row
//                                        reuse TABLE KEY FIELD=VALUE ...   free-row reuse
//                                        free TABLE KEY              free the key's rows
//   interop_helper dump FOLDER TABLE   prints every row in INDEX order, filtering off, as
//                                      FIELD=VALUE separated by tabs, in UTF-8
// TABLE is SPISOK, ALLEL or FENOTIP. Values are written and read as strings: dates in the
// short date format of the locale, logicals as T or F.
#include "archive/archive_rules.h"
#include "platform/cp1251.h"
#include "tables/archive_schema.h"
#include "tables/table.h"

#include <exception>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>

namespace {

const TableSchema& schemaOf(const std::string& table)
{
    if (table == "SPISOK") return spisokSchema();
    if (table == "ALLEL") return allelSchema();
    if (table == "FENOTIP") return fenotipSchema();
    throw std::runtime_error("unknown table " + table);
}

std::vector<std::string> split(const std::string& line)
{
    std::vector<std::string> parts;
    std::istringstream in(line);
    for (std::string part; std::getline(in, part, '\t');)
        parts.push_back(part);
    return parts;
}

void setFields(Table& table, const std::vector<std::string>& assignments, std::size_t from)
{
    for (std::size_t i = from; i < assignments.size(); ++i) {
        const std::size_t equals = assignments[i].find('=');
        table.fieldByName(assignments[i].substr(0, equals))
            .setAsString(toCp1251(assignments[i].substr(equals + 1)));
    }
}

void write(const std::string& folder, const std::string& rowsFile)
{
    std::map<std::string, std::unique_ptr<Table>> tables;
    const auto tableNamed = [&](const std::string& name) -> Table& {
        auto& table = tables[name];
        if (!table) {
            table = std::make_unique<Table>(folder + "/" + name, schemaOf(name));
            table->open();
        }
        return *table;
    };
    std::ifstream rows(rowsFile);
    for (std::string line; std::getline(rows, line);) {
        const std::vector<std::string> parts = split(line);
        if (parts.size() < 2) continue;
        Table& table = tableNamed(parts[1]);
        if (parts[0] == "add") {
            table.append();
            setFields(table, parts, 2);
            table.post();
        } else if (parts[0] == "reuse") {
            writeReusingFreeRow(table, std::stoi(parts[2]),
                                [&](Table& t) { setFields(t, parts, 3); });
        } else if (parts[0] == "free") {
            freeTaskRows(table, std::stoi(parts[2]));
        } else {
            throw std::runtime_error("unknown operation " + parts[0]);
        }
    }
}

void dump(const std::string& folder, const std::string& name)
{
    Table table(folder + "/" + name, schemaOf(name));
    table.open();
    for (table.first(); !table.eof(); table.next()) {
        std::string line;
        for (const FieldSpec& field : schemaOf(name)) {
            if (!line.empty()) line += '\t';
            line += field.name + "=" + cp1251ToUtf8(table.fieldByName(field.name).asString());
        }
        std::cout << line << '\n';
    }
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        if (args.size() == 3 && args[0] == "write") {
            write(args[1], args[2]);
            return 0;
        }
        if (args.size() == 3 && args[0] == "dump") {
            dump(args[1], args[2]);
            return 0;
        }
        std::cerr << "usage: interop_helper write FOLDER ROWS | dump FOLDER TABLE\n";
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
    }
    return 1;
}
