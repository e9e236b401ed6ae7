#pragma once

#include <QMargins>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

// A report design: sections stacked top to bottom, each holding controls placed in twips.

enum class ControlKind {
    Label,   // shows its caption
    TextBox, // shows its data field of the current row
    Sum,     // shows the sum of its data field over all rows
    Line,    // a rule from the rect's top left to its bottom right
};

struct ReportFont
{
    qreal pointSize = 8.25;
    bool bold = false;
    bool operator==(const ReportFont&) const = default;
};

struct ReportControl
{
    QString name;
    ControlKind kind = ControlKind::Label;
    QRect rect;        // twips, relative to the section's top left
    QString caption;   // labels
    QString dataField; // text boxes and sums; found without regard to case
    QString format;    // the display format: a date pattern for dates, a number pattern for numbers
    ReportFont font;
};

enum class SectionRole { ReportHeader, PageHeader, Detail, PageFooter, ReportFooter };

struct ReportSection
{
    QString name;
    SectionRole role = SectionRole::Detail;
    int height = 0; // twips
    std::vector<ReportControl> controls;

    // Throws Failure when no control has that name.
    ReportControl& control(QStringView controlName);
};

struct ReportDesign
{
    QString name;
    int width = 0;    // twips
    QMargins margins; // twips, from the paper's edges
    std::vector<ReportSection> sections;

    // Throws Failure when no section has that name.
    ReportSection& section(QStringView sectionName);
    // The section with a role; nullptr when the design has none.
    const ReportSection* sectionFor(SectionRole role) const;
    // Every data field that a text box or sum reads, each once (compared without regard to case).
    QStringList dataFields() const;
};
