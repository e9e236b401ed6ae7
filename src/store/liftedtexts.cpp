#include "store/liftedtexts.h"

#include "store/dialect.h"

LiftedStatement liftTexts(QStringView sql)
{
    LiftedStatement lifted;
    lifted.shape.reserve(sql.size());
    qsizetype copied = 0; // sql[copied, pos) is still to be copied into the shape
    qsizetype pos = 0;
    while (pos < sql.size()) {
        const QChar c = sql[pos];
        qsizetype end = pos + 1;
        if (c == u'\'') {
            bool closed = false;
            end = quotedRunEnd(sql, pos, c, &closed);
            // A text right after a letter (X'0A', a blob) is no plain text: leave it alone.
            const bool prefixed = pos > 0 && (sql[pos - 1].isLetterOrNumber() || sql[pos - 1] == u'_');
            if (closed && !prefixed) {
                lifted.shape += sql.mid(copied, pos - copied);
                lifted.shape += u'?';
                lifted.texts.append(
                    sql.mid(pos + 1, end - pos - 2).toString().replace(QStringLiteral("''"), QStringLiteral("'")));
                copied = end;
            }
        } else if (c == u'"' || c == u'`') {
            end = quotedRunEnd(sql, pos, c);
        } else if (c == u'[') {
            end = quotedRunEnd(sql, pos, u']');
        } else if ((c == u'-' || c == u'/') && pos + 1 < sql.size() && sql[pos + 1] == (c == u'-' ? u'-' : u'*')) {
            end = commentEnd(sql, pos);
        } else if (c == u'?' || c == u':' || c == u'@' || c == u'$') {
            // The statement has parameters of its own; numbering ours among them is not worth it.
            return {sql.toString(), {}};
        }
        pos = end;
    }
    lifted.shape += sql.mid(copied);
    return lifted;
}
