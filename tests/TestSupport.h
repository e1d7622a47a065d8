#pragma once

// Shared test fixtures: a message recorder and redirected per-user folders.

#include "data/Messages.h"

#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

// Records every message and error instead of showing it, for the lifetime of the object.
class TMessageRecorder {
public:
    struct TEntry {
        TMsgKind kind;
        QString text;
    };

    TMessageRecorder()
    {
        m_previous = SetMessageSink([this](TMsgKind kind, const QString& text) { m_entries.push_back({kind, text}); });
    }
    ~TMessageRecorder() { SetMessageSink(m_previous); }
    TMessageRecorder(const TMessageRecorder&) = delete;
    TMessageRecorder& operator=(const TMessageRecorder&) = delete;

    const QList<TEntry>& Entries() const { return m_entries; }
    QStringList Texts() const
    {
        QStringList texts;
        for (const TEntry& e : m_entries)
            texts << e.text;
        return texts;
    }
    QStringList Errors() const
    {
        QStringList texts;
        for (const TEntry& e : m_entries)
            if (e.kind == TMsgKind::Error)
                texts << e.text;
        return texts;
    }
    void Clear() { m_entries.clear(); }

private:
    TMessageSink m_previous;
    QList<TEntry> m_entries;
};

// Points HOME and the XDG folders at a fresh temporary folder, so no test reads or writes the real
// user's settings or diary; restores them when it goes.
class TTempHome {
public:
    TTempHome()
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            m_saved.append({name, qgetenv(name)});
        qputenv("HOME", m_dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CACHE_HOME", (m_dir.path() + QStringLiteral("/cache")).toUtf8());
    }
    ~TTempHome()
    {
        for (const auto& [name, value] : m_saved)
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    TTempHome(const TTempHome&) = delete;
    TTempHome& operator=(const TTempHome&) = delete;

    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QList<std::pair<const char*, QByteArray>> m_saved;
};
