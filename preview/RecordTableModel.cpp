// SPDX-License-Identifier: MIT
#include "preview/RecordTableModel.h"

#include "formats/AddressBookFields.h"

#include <QColor>
#include <QDate>
#include <QStringDecoder>
#include <QTime>

namespace q57::preview {

namespace {

const QColor ProblemColour(255, 190, 190);
constexpr int YearWithoutYear = 2000; // a leap year, as year 0 is to the rules

bool validDate(uint32_t value)
{
    const uint32_t month = value / 256;
    const uint32_t day = value % 256;
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool validTime(uint32_t value)
{
    return value / 256 <= 23 && value % 256 <= 59;
}

} // namespace

QString fromFileBytes(const std::string &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError())
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return text;
}

std::string toFileBytes(const QString &text)
{
    return text.toUtf8().toStdString();
}

RecordTableModel::RecordTableModel(AddressBookDocument &document, RecordKind kind, QObject *parent)
    : QAbstractTableModel(parent), document_(document), kind_(kind)
{
    reload();
}

void RecordTableModel::reload()
{
    beginResetModel();
    rows_.clear();
    for (size_t i = 0; i < document_.size(); ++i) {
        if (document_.kind(i) == kind_)
            rows_.push_back(i);
    }
    endResetModel();
}

void RecordTableModel::setFindings(const std::vector<Finding> &findings)
{
    findings_.clear();
    for (const Finding &finding : findings) {
        size_t field = finding.field;
        if (columnOfField(kind_, field) >= preview::columnCount(kind_))
            field = 0; // a field past the known columns shows on the record number
        QString &text = findings_[{finding.record, field}];
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += fromFileBytes(finding.message);
    }
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int RecordTableModel::rowOf(size_t record) const
{
    for (size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row] == record)
            return static_cast<int>(row);
    }
    return -1;
}

int RecordTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(preview::columnCount(kind_));
}

int RecordTableModel::yearOf(size_t record) const
{
    const std::string &year = document_.field(record, kind_ == RecordKind::Group ? 19 : 21);
    const uint32_t value = parseDecimal(year);
    return allDigits(year) && value >= 1 && value <= 9999 ? static_cast<int>(value) : YearWithoutYear;
}

QVariant RecordTableModel::displayed(size_t record, const Column &column) const
{
    const std::string &text = document_.field(record, column.field);
    const uint32_t value = parseDecimal(text);
    switch (column.kind) {
    case ColumnKind::Selection: return {};
    case ColumnKind::MonthDay:
        if (allDigits(text) && value == 0)
            return QString();
        if (allDigits(text) && validDate(value))
            return QStringLiteral("%1 %2")
                .arg(value % 256)
                .arg(QLocale::c().monthName(value / 256, QLocale::ShortFormat));
        break;
    case ColumnKind::HourMinute:
        if (allDigits(text) && value == 0)
            return QString();
        if (allDigits(text) && validTime(value))
            return QStringLiteral("%1:%2")
                .arg(value / 256, 2, 10, QLatin1Char('0'))
                .arg(value % 256, 2, 10, QLatin1Char('0'));
        break;
    case ColumnKind::Member:
        if (!text.empty() && allDigits(text)) {
            if (const auto contact = document_.find(value))
                return QStringLiteral("%1 (%2)").arg(fromFileBytes(text),
                                                     fromFileBytes(document_.contactName(*contact)));
        }
        break;
    default: break;
    }
    return fromFileBytes(text);
}

QVariant RecordTableModel::editValue(size_t record, const Column &column) const
{
    const std::string &text = document_.field(record, column.field);
    const uint32_t value = parseDecimal(text);
    switch (column.kind) {
    case ColumnKind::Number: return static_cast<int>(document_.number(record));
    case ColumnKind::MonthDay: {
        const QDate date(yearOf(record), static_cast<int>(value / 256), static_cast<int>(value % 256));
        return allDigits(text) && validDate(value) && date.isValid() ? date : QDate();
    }
    case ColumnKind::HourMinute:
        return allDigits(text) && validTime(value) ? QTime(static_cast<int>(value / 256), static_cast<int>(value % 256))
                                                   : QTime(0, 0);
    default: return fromFileBytes(text);
    }
}

QVariant RecordTableModel::sortKey(size_t record, const Column &column) const
{
    const std::string &text = document_.field(record, column.field);
    switch (column.kind) {
    case ColumnKind::Text: return fromFileBytes(text).toLower();
    case ColumnKind::Selection: return (document_.selection(record) & column.bit) ? 1 : 0;
    default: return static_cast<qulonglong>(parseDecimal(text));
    }
}

QVariant RecordTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const size_t record = recordAt(index.row());
    const Column column = columnAt(index.column());
    const auto finding = findings_.find({record, column.field});
    switch (role) {
    case Qt::DisplayRole: return displayed(record, column);
    case Qt::EditRole: return editValue(record, column);
    case Qt::CheckStateRole:
        if (column.kind != ColumnKind::Selection)
            return {};
        return (document_.selection(record) & column.bit) ? Qt::Checked : Qt::Unchecked;
    case Qt::BackgroundRole: return finding != findings_.end() ? QVariant(ProblemColour) : QVariant();
    case Qt::ToolTipRole: return finding != findings_.end() ? QVariant(finding->second) : QVariant();
    case SortRole: return sortKey(record, column);
    case YearRole: return yearOf(record);
    default: return {};
    }
}

bool RecordTableModel::store(size_t record, const Column &column, const QVariant &value)
{
    switch (column.kind) {
    case ColumnKind::Number: {
        const uint32_t number = value.toUInt();
        if (!document_.renumber(record, number)) {
            emit refused(tr("Record number %1 is in use or out of range.").arg(number));
            return false;
        }
        return true;
    }
    case ColumnKind::MonthDay: {
        const QDate date = value.toDate();
        const uint32_t stored = date.isValid() ? static_cast<uint32_t>(date.month() * 256 + date.day()) : 0;
        // "None" on an empty field keeps it empty.
        if (stored != 0 || parseDecimal(document_.field(record, column.field)) != 0)
            document_.setField(record, column.field, writeDecimal(stored));
        return true;
    }
    case ColumnKind::HourMinute: {
        const QTime time = value.toTime();
        const uint32_t stored = time.isValid() ? static_cast<uint32_t>(time.hour() * 256 + time.minute()) : 0;
        if (stored != 0 || parseDecimal(document_.field(record, column.field)) != 0)
            document_.setField(record, column.field, writeDecimal(stored));
        return true;
    }
    default: {
        const QString text = value.toString();
        // Text that comes back as it was shown keeps its bytes.
        if (text != fromFileBytes(document_.field(record, column.field)))
            document_.setField(record, column.field, toFileBytes(text));
        return true;
    }
    }
}

bool RecordTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid())
        return false;
    const size_t record = recordAt(index.row());
    const Column column = columnAt(index.column());
    bool stored = false;
    if (role == Qt::CheckStateRole && column.kind == ColumnKind::Selection) {
        const uint8_t mask = document_.selection(record);
        const bool checked = value.toInt() == Qt::Checked;
        document_.setSelection(record, static_cast<uint8_t>(checked ? (mask | column.bit) : (mask & ~column.bit)));
        stored = true;
    } else if (role == Qt::EditRole) {
        stored = store(record, column, value);
    }
    if (stored)
        emit edited();
    return stored;
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const ColumnKind kind = columnAt(index.column()).kind;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (kind == ColumnKind::Selection)
        return flags | Qt::ItemIsUserCheckable;
    // Members are picked by name in a dialog of their own.
    return kind == ColumnKind::Member ? flags : flags | Qt::ItemIsEditable;
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromStdString(columnAt(section).header);
}

} // namespace q57::preview
