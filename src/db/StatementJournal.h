#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tannbuch {

// Records the exact text of every statement sent through a Connection, in the
// order sent. Tests read it to compare statement texts to the last blank and
// carriage return; benchmarks read the count.
class StatementJournal
{
public:
    void setRecording(bool on) { m_recording = on; }
    // Hands every statement sent to the sink as well (a benchmark streams
    // the texts to a file instead of keeping them); none by default.
    void setSink(std::function<void(const QString &)> sink) { m_sink = std::move(sink); }
    bool isRecording() const { return m_recording; }

    void record(const QString &sql);
    void clear();

    const QStringList &statements() const { return m_statements; }
    // Every statement sent since the journal was made or cleared, also while
    // not recording texts.
    qint64 count() const { return m_count; }

private:
    bool m_recording = false;
    std::function<void(const QString &)> m_sink;
    QStringList m_statements;
    qint64 m_count = 0;
};

} // namespace tannbuch
