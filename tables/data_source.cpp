#include "tables/data_source.h"

DataSource::DataSource(Table& table) : table_(table)
{
    observer_ = table_.addObserver([this](TableEvent event) {
        if (enabled_ && listener_) listener_(event);
    });
}

DataSource::~DataSource()
{
    table_.removeObserver(observer_);
}

void DataSource::setEnabled(bool on)
{
    if (on == enabled_) return;
    enabled_ = on;
    if (enabled_ && listener_) listener_(TableEvent::Reset);
}
