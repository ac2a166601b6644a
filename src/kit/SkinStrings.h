#pragma once
// The Chinese texts the skinned widgets draw themselves (system menu, caption-button hints, the edit
// fields' context menu, the message box), and the translator through which Qt's own widgets take them.

#include <QHash>
#include <QString>
#include <QTranslator>

// Sets the text of every key of the skin's table, replacing what a key had.
void LocalizeSkinStrings(QHash<QString, QString> &table);

// Gives Qt's built-in widget texts from the table; a text whose key the table lacks stays Qt's own.
class TSkinTranslator : public QTranslator
{
public:
    explicit TSkinTranslator(const QHash<QString, QString> *table, QObject *parent = nullptr)
        : QTranslator(parent), m_table(table) {}
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;

private:
    const QHash<QString, QString> *m_table;
};
