#pragma once

#include <QString>
#include <QStringList>
#include <array>

// The path of a sample statement in tests/data/import.
inline QString sampleStatementPath(const QString& file)
{
    return QStringLiteral(QUORVANE_SOURCE_DIR "/tests/data/import/") + file;
}

// A sample statement and its entries, each as "date|amount|in or out|reason|from|to|method|notes".
struct SampleStatement
{
    QString file;
    QStringList entries;
};

// The four bank layouts every reading of statements must turn into the same entries.
inline const std::array<SampleStatement, 4>& sampleStatements()
{
    using namespace Qt::StringLiterals;
    static const std::array<SampleStatement, 4> samples = {{
        {u"semicolon_decimal_comma.csv"_s,
         {u"2024-01-02|84.00|out|Abschlag Strom Januar||Stadtwerke Beispielstadt||"_s,
          u"2024-01-05|2450.00|in|Gehalt Dezember 2023|Musterfirma GmbH|||"_s,
          u"2024-01-12|12.50|out|Kartenzahlung||Bäckerei Sonnenschein||"_s,
          u"2024-01-19|650.00|in|Miete Februar; Wohnung 3|Erika Beispiel|||"_s,
          u"2024-01-26|99.99|out|Rechnung 4711||Versandhaus Nord||"_s,
          u"2024-01-31|1234.56|out|Inspektion||Autohaus Süd||"_s}},
        {u"separate_in_out.csv"_s,
         {u"2024-03-01|2000.00|in|Salary March||||"_s, u"2024-03-04|45.20|out|Hardware store, garden supplies||||"_s,
          u"2024-03-14|4.50|out|Coffee roastery||||"_s,
          u"2024-03-15|19.99|in|Refund for order 1182\nreturned kettle||||"_s,
          u"2024-03-22|1200.00|out|Monthly rent||||"_s, u"2024-03-28|0.42|in|Savings interest||||"_s}},
        {u"windows1252_umlauts.csv"_s,
         {u"2024-02-03|23.40|out|Grillabend||Metzgerei Müller||"_s,
          u"2024-02-07|18.90|out|Grüße zum Geburtstag||Blumenladen am Markt||"_s,
          u"2024-02-14|9.80|out|Frühstück||Café an der Hauptstraße||"_s,
          u"2024-02-21|112.35|in|Nebenkostenerstattung||Hausverwaltung Weiß||"_s,
          u"2024-02-28|20.00|out|Gutschein über 20 €||Bücherstube||"_s}},
        {u"header_on_third_line.csv"_s,
         {u"2024-01-03|45.90|out|Lastschrift Versicherung|Beispiel Konto|Versicherung Nordlicht AG||"_s,
          u"2024-01-08|2310.00|in|Gehalt Januar|Musterfirma GmbH|Beispiel Konto||"_s,
          u"2024-01-15|61.23|out|Kartenzahlung Tankstelle|Beispiel Konto|Tankstelle am Ring||"_s,
          u"2024-01-22|50.00|out|Überweisung Geschenk|Beispiel Konto|Erika Beispiel||"_s,
          u"2024-01-29|0.87|in|Zinsgutschrift|Beispielbank|Beispiel Konto||"_s,
          u"2024-01-31|4.95|out|Kontoführung|Beispielbank|Beispiel Konto||"_s}},
    }};
    return samples;
}

// The entries of the sample statement `file`.
inline QStringList sampleEntriesOf(const QString& file)
{
    for (const SampleStatement& sample : sampleStatements())
        if (sample.file == file)
            return sample.entries;
    return {};
}
