#include "store/liftedtexts.h"

#include "store/dialect.h"

LiftedStatement liftTexts(QStringView sql)
{
    LiftedStatement lifted;
    lifted.shape.reserve(sql.size());
    qsizetype copied = 0; // sql[copied, pos) is still to be copied into the shape
    qsizetype pos = 0;
    while (pos < sql.size()) {
        const DialectRun run = runAt(sql, pos);
        if (run.kind == DialectRun::Text) {
            // A prefixed text (a blob) is left as written.
            if (run.closed && !textIsPrefixed(sql, pos)) {
                lifted.shape += sql.mid(copied, pos - copied);
                lifted.shape += u'?';
                lifted.texts.append(textOfRun(sql, pos, run));
                copied = run.end;
            }
        } else if (run.kind == DialectRun::Other && QStringView(u"?:@$").contains(sql[pos])) {
            // The statement has parameters of its own; numbering ours among them is not worth it.
            return {sql.toString(), {}};
        }
        pos = run.end;
    }
    lifted.shape += sql.mid(copied);
    return lifted;
}
