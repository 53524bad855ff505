// The link between a table and the list bound to it. While the source is disabled the list
// does not follow the table; enabling it makes the list show the table's rows again.
#pragma once

#include "tables/table.h"

#include <functional>

class DataSource
{
public:
    explicit DataSource(Table& table);
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    Table& dataSet() const { return table_; }

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);

    // The bound list's listener: told of every change of the table while the source is
    // enabled, and with TableEvent::Reset when the source is enabled again.
    void setListener(std::function<void(TableEvent)> listener) { listener_ = std::move(listener); }

private:
    Table& table_;
    int observer_;
    bool enabled_ = true;
    std::function<void(TableEvent)> listener_;
};
