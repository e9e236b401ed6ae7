// translateDialect on any statement text: it may refuse a date literal naming no real date (StoreError)
// but never crashes; a quoted text placed between two runs of plain code comes out unchanged; and a
// translated text is translated no further.
#include "fuzzinput.h"
#include "store/dialect.h"
#include "store/statements.h"
#include "store/storeerror.h"

#include <optional>

namespace {

std::optional<QString> translated(const QString& sql)
{
    try {
        return translateDialect(sql);
    } catch (const StoreError&) {
        return std::nullopt;
    }
}

// Code that opens no quoted run and no comment of its own, so the text after it starts outside them.
// Date literals stay possible: only the "/" that would open a comment goes.
QString plainCode(QString code)
{
    for (QChar opener : {u'\'', u'"', u'`', u'[', u'-'})
        code.replace(opener, u' ');
    code.replace(QStringLiteral("/*"), QStringLiteral("/ "));
    return code;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString before = plainCode(takeText(input, 256));
    const QString quoted = quoteText(takeText(input, 256));
    const QString after = plainCode(takeText(input, 256));
    const QString raw = takeRawText(input);

    if (const auto out = translated(raw)) {
        const auto again = translated(*out);
        fuzzCheck(again && *again == *out, "a translated statement changed when translated again", raw);
    }

    const auto head = translated(before);
    const auto tail = translated(after);
    const auto whole = translated(before + quoted + after);
    fuzzCheck(whole.has_value() == (head && tail), "a quoted text changed whether the code around it translates",
              before + quoted + after);
    if (whole)
        fuzzCheck(*whole == *head + quoted + *tail, "a quoted text did not come out unchanged",
                  before + quoted + after);
    return 0;
}
