#include "tests/install/InstallRun.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const QString PackageName = QStringLiteral("kaplix-install-assistant");

// The package made by `cpack -G DEB` from the build, into a directory of the test's own.
class DebPackage : public testing::Test {
protected:
    void SetUp() override
    {
        const CommandResult pack = RunCommand(
            QStringLiteral(KX_CPACK), {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                                       QStringLiteral(KX_BUILD_DIR "/CPackConfig.cmake"), QStringLiteral("-B"), m_out.path()});
        ASSERT_TRUE(pack.finished && pack.exitCode == 0) << pack.output.toStdString();
        const QStringList debs = QDir(m_out.path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
        ASSERT_EQ(debs.size(), 1) << debs.join(u' ').toStdString();
        m_deb = m_out.filePath(debs.first());
        m_dpkgDeb = RequireTool(QStringLiteral("dpkg-deb"));
    }

    // The regular files the package holds, relative to the root, sorted.
    QStringList Contents() const
    {
        const CommandResult listing = RunCommand(m_dpkgDeb, {QStringLiteral("--contents"), m_deb});
        EXPECT_EQ(listing.exitCode, 0) << listing.output.toStdString();
        QStringList files;
        for (const QString& line : listing.output.split(u'\n', Qt::SkipEmptyParts)) {
            if (line.startsWith(u'-'))
                files << line.section(u' ', -1).remove(QRegularExpression(QStringLiteral("^\\./")));
        }
        files.sort();
        return files;
    }

    // The control fields, from `dpkg-deb --info`.
    QMap<QString, QString> Fields() const
    {
        const CommandResult info = RunCommand(m_dpkgDeb, {QStringLiteral("--info"), m_deb});
        EXPECT_EQ(info.exitCode, 0) << info.output.toStdString();
        QMap<QString, QString> fields;
        static const QRegularExpression Field(QStringLiteral("^ ([A-Za-z-]+): (.*)$"));
        for (const QString& line : info.output.split(u'\n')) {
            if (const auto match = Field.match(line); match.hasMatch())
                fields.insert(match.captured(1), match.captured(2));
        }
        return fields;
    }

    TempDir m_out;
    QString m_deb;
    QString m_dpkgDeb;
};

// The names in a relationship field such as "libc6 (>= 2.35), libfoo | libbar".
QStringList PackageNames(const QString& field)
{
    QStringList names;
    for (const QString& alternatives : field.split(u','))
        for (const QString& relation : alternatives.split(u'|'))
            names << relation.trimmed().section(u' ', 0, 0);
    return names;
}

// One test, as packing takes a few seconds.
TEST_F(DebPackage, HoldsWhatTheInstallPutsUnderUsrAndNamesWhatItNeeds)
{
    EXPECT_EQ(Contents(), ExpectedFiles());

    const QMap<QString, QString> fields = Fields();
    EXPECT_EQ(fields.value(QStringLiteral("Package")), PackageName);
    // The version the window's title gives.
    EXPECT_EQ(fields.value(QStringLiteral("Version")), QStringLiteral("1.13"));
    EXPECT_FALSE(fields.value(QStringLiteral("Maintainer")).isEmpty());
    EXPECT_FALSE(fields.value(QStringLiteral("Section")).isEmpty());
    EXPECT_TRUE(fields.value(QStringLiteral("Description")).contains(QStringLiteral("KAPLIX")));

    const QStringList depends = PackageNames(fields.value(QStringLiteral("Depends")));
    for (const char* library : {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libcurl4", "libsmbclient", "qt6-qpa-plugins"})
        EXPECT_TRUE(depends.contains(QString::fromLatin1(library)))
            << library << " missing from Depends: " << fields.value(QStringLiteral("Depends")).toStdString();
    // The setup programs it fetches are Windows programs.
    EXPECT_TRUE(PackageNames(fields.value(QStringLiteral("Recommends"))).contains(QStringLiteral("wine")));
}

} // namespace
