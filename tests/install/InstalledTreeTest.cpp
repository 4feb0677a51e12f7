#include "tests/install/InstallRun.h"

#include "app/ButtonPictures.h"
#include "platform/desktop/Fonts.h"

#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QMap>
#include <QPixmap>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <ostream>

namespace {

// The keys of a desktop entry's main group.
QMap<QString, QString> DesktopEntryKeys(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QMap<QString, QString> keys;
    bool inMainGroup = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.startsWith(u'['))
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
        else if (inMainGroup && line.contains(u'='))
            keys.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
    return keys;
}

// The text of the metadata's one-line elements, by element name and type attribute
// ("launchable/desktop-id"); the first one of each counts.
QMap<QString, QString> MetadataTexts(const QString& path)
{
    static const QStringList OneLine = {
        QStringLiteral("id"), QStringLiteral("name"), QStringLiteral("summary"), QStringLiteral("metadata_license"),
        QStringLiteral("project_license"), QStringLiteral("launchable/desktop-id"), QStringLiteral("binary"),
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QMap<QString, QString> texts;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        QString key = xml.name().toString();
        if (const auto type = xml.attributes().value(QStringLiteral("type")); !type.isEmpty())
            key += u'/' + type.toString();
        if (OneLine.contains(key) && !texts.contains(key))
            texts.insert(key, xml.readElementText().trimmed());
    }
    return texts;
}

TEST_F(InstalledTree, PutsTheProgramItsDesktopEntryIconsAndMetadataUnderThePrefixAndNothingElse)
{
    EXPECT_EQ(FilesBelow(m_destdir.path()), ExpectedFiles());
    const QFileInfo program(Installed(QStringLiteral("usr/bin/SetupKAPLIX")));
    EXPECT_TRUE(program.isFile() && program.isExecutable());
    EXPECT_EQ(program.permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
}

TEST_F(InstalledTree, DesktopEntryIsValidAndStartsTheProgramWithItsIcon)
{
    const QString entry = Installed(QStringLiteral("usr/share/applications/%1.desktop").arg(AppId()));
    const CommandResult validation = RunCommand(RequireTool(QStringLiteral("desktop-file-validate")), {entry});
    EXPECT_TRUE(validation.finished && validation.exitCode == 0) << validation.output.toStdString();

    const QMap<QString, QString> keys = DesktopEntryKeys(entry);
    EXPECT_EQ(keys.value(QStringLiteral("Type")), QStringLiteral("Application"));
    EXPECT_EQ(keys.value(QStringLiteral("Name")), QStringLiteral("KAPLIX install assistant"));
    EXPECT_EQ(keys.value(QStringLiteral("Icon")), AppId()) << "a theme icon, found by name";
    // Started from the menu, the program is found on PATH in the prefix's bin folder.
    const QString exec = keys.value(QStringLiteral("Exec"));
    EXPECT_EQ(exec, QStringLiteral("SetupKAPLIX"));
    EXPECT_TRUE(QFileInfo::exists(Installed(QStringLiteral("usr/bin/") + exec)));
}

TEST_F(InstalledTree, MetadataIsValidAndLaunchesTheDesktopEntry)
{
    const QString metadata = Installed(QStringLiteral("usr/share/metainfo/%1.metainfo.xml").arg(AppId()));
    const QString appstreamcli = RequireTool(QStringLiteral("appstreamcli"));
    const CommandResult file = RunCommand(appstreamcli, {QStringLiteral("validate"), QStringLiteral("--no-net"), metadata});
    EXPECT_TRUE(file.finished && file.exitCode == 0) << file.output.toStdString();
    // The whole tree: the launchable desktop entry must be there beside the metadata.
    const CommandResult tree
        = RunCommand(appstreamcli, {QStringLiteral("validate-tree"), QStringLiteral("--no-net"), m_destdir.path()});
    EXPECT_TRUE(tree.finished && tree.exitCode == 0) << tree.output.toStdString();

    const QMap<QString, QString> texts = MetadataTexts(metadata);
    EXPECT_EQ(texts.value(QStringLiteral("id")), AppId());
    EXPECT_EQ(texts.value(QStringLiteral("name")), QStringLiteral("KAPLIX install assistant"));
    EXPECT_EQ(texts.value(QStringLiteral("launchable/desktop-id")), AppId() + QStringLiteral(".desktop"));
    EXPECT_EQ(texts.value(QStringLiteral("binary")), QStringLiteral("SetupKAPLIX"));
    EXPECT_FALSE(texts.value(QStringLiteral("summary")).isEmpty());
    EXPECT_FALSE(texts.value(QStringLiteral("metadata_license")).isEmpty());
    EXPECT_FALSE(texts.value(QStringLiteral("project_license")).isEmpty());
}

class InstalledIcon : public InstalledTree, public testing::WithParamInterface<int> {};

TEST_P(InstalledIcon, IsAPngOfItsSizeWithThePictureTheWindowShows)
{
    const int size = GetParam();
    const QString path = Installed(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(AppId()));
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray("png"));
    const QImage installed = reader.read();
    ASSERT_FALSE(installed.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(installed.size(), QSize(size, size));
    EXPECT_TRUE(installed.hasAlphaChannel()) << "rounded corners need transparency";

    platform::ensureDesignFonts();
    const QImage drawn = ApplicationIcon().pixmap(QSize(size, size), 1.0).toImage();
    EXPECT_EQ(installed.convertToFormat(QImage::Format_ARGB32), drawn.convertToFormat(QImage::Format_ARGB32))
        << "the installed icon is the one the program draws for its window";
}

INSTANTIATE_TEST_SUITE_P(Sizes, InstalledIcon, testing::ValuesIn(IconSizes()),
                         [](const testing::TestParamInfo<int>& info) {
                             return "Px" + std::to_string(info.param);
                         });

} // namespace
