#include "output/report/reportmain.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int controlHeight = 240;
constexpr ReportFont regular{8.25, false};
constexpr ReportFont bold{8.25, true};
constexpr ReportFont heading{9, true};

ReportControl label(const QString& name, const QString& caption, int left, int top, int width, ReportFont font)
{
    return {name, ControlKind::Label, QRect(left, top, width, controlHeight), caption, {}, {}, font};
}

ReportControl bound(ControlKind kind, const QString& name, const QString& field, int left, int top, int width,
                    ReportFont font, const QString& format = {})
{
    return {name, kind, QRect(left, top, width, controlHeight), {}, field, format, font};
}

} // namespace

ReportDesign rptMain()
{
    ReportDesign design;
    design.name = u"rptMain"_s;
    design.width = 8505;
    design.margins = QMargins(1440, 1440, 1440, 1440);

    design.sections.push_back({u"Section4"_s, SectionRole::ReportHeader, 0, {}});
    design.sections.push_back(
        {u"Section2"_s,
         SectionRole::PageHeader,
         360,
         {label(u"Label2"_s, u"Date"_s, 0, 0, 567, heading), label(u"Label3"_s, u"Received"_s, 1134, 0, 1134, heading),
          label(u"Label4"_s, u"Paid"_s, 2835, 0, 567, heading), label(u"Label6"_s, u"From"_s, 4535, 0, 567, heading),
          label(u"Label7"_s, u"To"_s, 5669, 0, 555, heading)}});
    design.sections.push_back(
        {u"Section1"_s,
         SectionRole::Detail,
         330,
         {bound(ControlKind::TextBox, u"Text1"_s, u"Date"_s, 0, 0, 1134, regular, u"dd MMM yyyy"_s),
          bound(ControlKind::TextBox, u"Text2"_s, u"ValueIN"_s, 1134, 0, 1140, regular),
          bound(ControlKind::TextBox, u"Text7"_s, u"ValueOUT"_s, 2835, 0, 1440, regular),
          bound(ControlKind::TextBox, u"Text4"_s, u"Payer"_s, 4535, 0, 1140, regular),
          bound(ControlKind::TextBox, u"Text5"_s, u"Payee"_s, 5669, 0, 1134, regular)}});
    design.sections.push_back({u"Section3"_s, SectionRole::PageFooter, 360, {}});
    design.sections.push_back({u"Section5"_s,
                               SectionRole::ReportFooter,
                               780,
                               {{u"Line1"_s, ControlKind::Line, QRect(0, 60, 8505, 0), {}, {}, {}, regular},
                                label(u"Label8"_s, u"Total IN"_s, 1134, 120, 1125, bold),
                                label(u"Label9"_s, u"Total OUT"_s, 2835, 120, 1140, bold),
                                label(u"Label10"_s, u"Balance"_s, 4535, 120, 1701, bold),
                                bound(ControlKind::Sum, u"Function1"_s, u"ValueIN"_s, 1134, 420, 1125, heading),
                                bound(ControlKind::Sum, u"Function2"_s, u"ValueOUT"_s, 2835, 420, 1140, heading),
                                label(u"lblBalance"_s, {}, 4535, 420, 1707, heading)}});
    return design;
}
