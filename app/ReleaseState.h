#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <cstdint>
#include <optional>

// What the assistant remembers between runs about the releases it has seen: per version
// directory the highest serial of a signed checksum list it took, so that no server can hand
// it an older list of that version again; and per setup file it downloaded and a signed list
// vouched for, the version it was, its SHA-256 and its size.
//
// It lives in one small text file, "state" in the program's configuration folder: a heading,
// then one record a line, its fields separated by one blank, the first field its kind:
//
//     kaplix-setup state 1
//     serial ver121 2026121001
//     file ver121 KXsetup64.exe <SHA-256, 64 lower-case hexadecimal digits> 31457280
//
// Kinds this program does not know are kept as they stand when it writes the file, so that a
// record a later program adds outlives a run of this one.
class TReleaseState {
public:
    // Larger than any state the program writes; a larger file is not read.
    static constexpr std::int64_t MaxSize = 1024 * 1024;
    static const QString FileName;

    // The state in Text; nothing when Text is not of the form above.
    static std::optional<TReleaseState> Parse(const QByteArray& Text);
    QByteArray Text() const;

    // The highest serial remembered for Directory; 0 when none.
    std::uint64_t Serial(const QString& Directory) const;
    // Remembers Serial for Directory unless a higher one is; true when that changed the state.
    bool RaiseSerial(const QString& Directory, std::uint64_t Serial);

    // A setup file downloaded and vouched for: its version's directory ("ver121"), SHA-256 and size.
    struct TFileRecord {
        QString Directory;
        QString SHA256;
        std::int64_t Size = 0;
        bool operator==(const TFileRecord&) const = default;
    };
    // The record of the file of that name on the server ("KXsetup64.exe"); nothing when none.
    std::optional<TFileRecord> File(const QString& Name) const;
    // Replaces what is remembered of the file of that name.
    void RecordFile(const QString& Name, const TFileRecord& Record);

    // The state in the file at Path: empty when there is none yet. When the file is there but
    // cannot be read or understood, Problem says why, in plain words naming the file.
    struct TLoaded;
    static TLoaded Load(const QString& Path);
    // Replaces the file at Path with this state in one step; empty when written, else why not.
    QString Save(const QString& Path) const;

private:
    QMap<QString, std::uint64_t> FSerials;
    QMap<QString, TFileRecord> FFiles;
    QList<QByteArray> FOtherRecords;
};

struct TReleaseState::TLoaded {
    TReleaseState State;
    QString Problem;
};
