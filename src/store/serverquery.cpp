#include "store/serverquery.h"

#include "store/serverrefusal.h"
#include "store/statementfaults.h"
#include "store/storeerror.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace {

// The server's numbers for the types the ledger's columns and sums come as.
constexpr Oid int8Type = 20, int2Type = 21, int4Type = 23, oidType = 26, float4Type = 700, float8Type = 701,
              dateType = 1082, numericType = 1700;

template <typename Number> QByteArray numberText(Number value)
{
    // Shortest text that reads back as the same number, in no locale.
    std::array<char, 32> digits{};
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return QByteArray(digits.data(), error == std::errc() ? end - digits.data() : 0);
}

template <typename Number> Number numberFrom(QByteArrayView text)
{
    Number value{};
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Reads what is left of a statement's results, up to the empty one that frees the link.
void readToTheEnd(PGconn* link)
{
    while (ServerResult(PQgetResult(link))) {
    }
}

} // namespace

ServerQuery::ServerQuery(PGconn* link, QByteArray text, int parameters)
    : link_(link), text_(std::move(text)), parameters_(size_t(parameters))
{
}

ServerQuery::~ServerQuery()
{
    dropTheRest();
}

void ServerQuery::bind(int index, QByteArray value, Oid type)
{
    if (index < 1 || size_t(index) > parameters_.size())
        throw StoreError(QStringLiteral("column index out of range"));
    parameters_[size_t(index - 1)] = {std::move(value), type};
}

void ServerQuery::bindInt(int index, qint64 value)
{
    bind(index, numberText(value), int8Type);
}

void ServerQuery::bindDouble(int index, double value)
{
    bind(index, numberText(value), float8Type);
}

void ServerQuery::bindText(int index, QStringView value)
{
    // The server's texts end at a NUL, so one would cut the text short without a word.
    if (value.contains(QChar(0)))
        throw StoreError(nulInTextMessage());
    // The type is left to the server, so a text may stand where the statement wants a date or a number.
    bind(index, value.toUtf8(), 0);
}

void ServerQuery::bindDate(int index, QDate value)
{
    bind(index, value.isValid() ? value.toString(Qt::ISODate).toUtf8() : QByteArray(), dateType);
}

void ServerQuery::start()
{
    if (!result_)
        send();
}

void ServerQuery::send()
{
    settleLink(link_);
    std::vector<const char*> values;
    std::vector<Oid> types;
    for (const Parameter& parameter : parameters_) {
        values.push_back(parameter.value ? parameter.value->constData() : nullptr);
        types.push_back(parameter.type);
    }
    if (!PQsendQueryParams(link_, text_.constData(), int(values.size()), types.data(), values.data(), nullptr, nullptr,
                           0))
        throw StoreError(serverMessage(link_, nullptr));
    PQsetSingleRowMode(link_);
    arriving_ = true;
    holdLink(link_, this);
    row_ = -1;
    result_ = receive();
}

ServerResult ServerQuery::receive()
{
    ServerResult result(PQgetResult(link_));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status == PGRES_SINGLE_TUPLE)
        return result;
    // The statement's last result.
    readToTheEnd(link_);
    arriving_ = false;
    releaseLink(link_);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        if (const QString refusal = writeRefusal(link_, result.get(), text_); !refusal.isEmpty())
            throw WriteRefused(refusal);
        throw StoreError(serverMessage(link_, result.get()));
    }
    // A query changes nothing, where an insert returning its id still counts its row.
    const bool query = std::strncmp(PQcmdStatus(result.get()), "SELECT", 6) == 0;
    changes_ = query ? 0 : numberFrom<qint64>(PQcmdTuples(result.get()));
    return result;
}

void ServerQuery::takeTheRest()
{
    while (arriving_)
        taken_.push_back(receive());
}

void ServerQuery::dropTheRest()
{
    taken_.clear();
    if (!arriving_)
        return;
    releaseLink(link_);
    readToTheEnd(link_);
    arriving_ = false;
}

bool ServerQuery::next()
{
    start();
    while (row_ + 1 >= PQntuples(result_.get()) && moreToCome()) {
        if (taken_.empty()) {
            result_ = receive();
        } else {
            result_ = std::move(taken_.front());
            taken_.pop_front();
        }
        row_ = -1;
    }
    if (row_ < PQntuples(result_.get()))
        ++row_;
    return row_ < PQntuples(result_.get());
}

void ServerQuery::reset()
{
    dropTheRest();
    result_.reset();
    row_ = -1;
    std::fill(parameters_.begin(), parameters_.end(), Parameter());
}

int ServerQuery::columnCount() const
{
    return PQnfields(result_.get());
}

QString ServerQuery::columnName(int column) const
{
    return QString::fromUtf8(PQfname(result_.get(), column));
}

bool ServerQuery::dateColumn(int column) const
{
    return PQftype(result_.get(), column) == dateType;
}

ColumnKind ServerQuery::kind(int column) const
{
    if (PQgetisnull(result_.get(), row_, column))
        return ColumnKind::Null;
    switch (PQftype(result_.get(), column)) {
    case int2Type:
    case int4Type:
    case int8Type:
    case oidType:
        return ColumnKind::Integer;
    case float4Type:
    case float8Type:
    case numericType:
        return ColumnKind::Real;
    default:
        return ColumnKind::Text;
    }
}

qint64 ServerQuery::intValue(int column) const
{
    if (kind(column) == ColumnKind::Real)
        return qint64(doubleValue(column));
    return numberFrom<qint64>(utf8(column));
}

double ServerQuery::doubleValue(int column) const
{
    return numberFrom<double>(utf8(column));
}

QByteArrayView ServerQuery::utf8(int column) const
{
    return QByteArrayView(PQgetvalue(result_.get(), row_, column), PQgetlength(result_.get(), row_, column));
}
