#include "output/report/reportdesign.h"

#include "base/failure.h"

using namespace Qt::StringLiterals;

ReportControl& ReportSection::control(QStringView controlName)
{
    for (ReportControl& c : controls)
        if (c.name.compare(controlName, Qt::CaseInsensitive) == 0)
            return c;
    throw Failure(u"Control '"_s + controlName.toString() + u"' not found in section '"_s + name + u"'."_s);
}

ReportSection& ReportDesign::section(QStringView sectionName)
{
    for (ReportSection& s : sections)
        if (s.name.compare(sectionName, Qt::CaseInsensitive) == 0)
            return s;
    throw Failure(u"Section '"_s + sectionName.toString() + u"' not found in report '"_s + name + u"'."_s);
}

const ReportSection* ReportDesign::sectionFor(SectionRole role) const
{
    for (const ReportSection& s : sections)
        if (s.role == role)
            return &s;
    return nullptr;
}

QStringList ReportDesign::dataFields() const
{
    QStringList fields;
    for (const ReportSection& s : sections)
        for (const ReportControl& c : s.controls)
            if ((c.kind == ControlKind::TextBox || c.kind == ControlKind::Sum) &&
                !fields.contains(c.dataField, Qt::CaseInsensitive))
                fields.append(c.dataField);
    return fields;
}
