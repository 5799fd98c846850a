// The pages the preview pane writes for its browser, byte by byte: the file information page with names
// that carry HTML and URL syntax, the media page, the blank page, and the element they are built from.

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QUrl>

#include "preview/CHtmlElement.h"
#include "preview/CPreviewPages.h"
#include "support/CTempFolder.h"

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class PreviewPagesTest final : public QObject {
    Q_OBJECT

private:
    CTempFolder m_temp;  // the temporary folder of this test
    QString m_runtime;   // the runtime folder of this test, where the pages go

private Q_SLOTS:
    void initTestCase() {
        qputenv("TMPDIR", QByteArray::fromStdString(m_temp.path()));
        m_runtime = QString::fromStdString(m_temp.makeFolder("runtime"));
        ::chmod(m_runtime.toLocal8Bit().constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", m_runtime.toLocal8Bit());
    }

    void elementKeepsItsAttributesInOrderAndByItsRules() {
        CHtmlElement embed(QStringLiteral("<EMBED>"));
        QCOMPARE(embed.tagName(), QStringLiteral("EMBED"));
        QVERIFY(!embed.selfClosing());
        QCOMPARE(embed.render(), QStringLiteral("<EMBED>"));

        embed.setAttribute(QStringLiteral("SRC"), QStringLiteral("\"a.wav'"));
        embed.setAttribute(QStringLiteral("AUTOSTART"), QStringLiteral("TRUE"));
        embed.setAttribute(QStringLiteral("autostart"), QStringLiteral("FALSE"));  // same name, other case
        embed.setAttribute(QStringLiteral("WIDTH"), QStringLiteral("100"));
        QCOMPARE(embed.render(), QStringLiteral("<EMBED SRC=\"a.wav\" AUTOSTART=\"FALSE\" WIDTH=\"100\">"));
        embed.setAttribute(QStringLiteral("width"), QString());
        embed.setAttribute(QStringLiteral("AUTOSTART"), QStringLiteral("\"\""));
        embed.setAttribute(QStringLiteral("HIDDEN"), QString());  // removing what is not there adds nothing
        QCOMPARE(embed.render(), QStringLiteral("<EMBED SRC=\"a.wav\">"));

        // A value cannot close the tag or open a script.
        embed.setAttribute(QStringLiteral("TITLE"), QStringLiteral("x\"><script>alert(1)</script>"));
        QCOMPARE(embed.render(),
                 QStringLiteral("<EMBED SRC=\"a.wav\" TITLE=\"x&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;\">"));

        CHtmlElement line(QStringLiteral("<BR/>"));
        QCOMPARE(line.tagName(), QStringLiteral("BR"));
        QCOMPARE(line.render(), QStringLiteral("<BR />"));
    }

    void infoPageShowsNamesAsTypedAndLinksThem() {
        const QString path =
            QString::fromStdString(m_temp.write("a<b>&\"c\" 100%#1 日本語.exe", std::string(1234, 'x')));
        QString error;
        const QString page = CPreviewPages::writeFileInfoPage(path, QStringLiteral("exe ファイル<i>"), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(page, m_runtime + QStringLiteral("/VemtoHtmlPreview.html"));
        QCOMPARE(page, CPreviewPages::previewPagePath());

        const QString html = QString::fromUtf8(readAll(page));
        const QString shown = QDir::toNativeSeparators(path).toHtmlEscaped();
        QVERIFY(html.startsWith(QStringLiteral("<HTML>\r\n<HEAD><META charset=\"utf-8\">")));
        QVERIFY(html.contains(QStringLiteral("<TITLE>exe ファイル&lt;i&gt;</TITLE>")));
        QVERIFY(html.contains(QStringLiteral("<BODY><H1>exe ファイル&lt;i&gt;</H1>\nファイル名：<A HREF=\"")));
        QVERIFY(shown.contains(QStringLiteral("a&lt;b&gt;&amp;&quot;c&quot; 100%#1 日本語.exe")));
        QVERIFY(html.contains(QStringLiteral("\">") + shown + QStringLiteral("</A><BR><HR>\n")));
        QVERIFY(html.contains(QStringLiteral("<B>サイズ：</B>1234バイト<br><B>作成日付：</B>")));
        QVERIFY(html.contains(QStringLiteral("<B>最終変更日付：</B>") +
                              QFileInfo(path).lastModified().toString(QStringLiteral("yyyy/MM/dd HH:mm")) +
                              QStringLiteral("<BR>\n</BODY>\r\n</HTML>")));
        QVERIFY(!html.contains(QStringLiteral("<b>")) && !html.contains(QStringLiteral("<i>")));

        // The link is a real URL: "#" and "%" are escaped, so it opens this file and not a fragment of another.
        const qsizetype hrefStart = html.indexOf(QStringLiteral("HREF=\"")) + 6;
        const QString href =
            html.mid(hrefStart, html.indexOf(u'"', hrefStart) - hrefStart).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        QVERIFY(href.contains(QStringLiteral("100%25%231")));
        QCOMPARE(QUrl(href).toLocalFile(), path);

        // A second page overwrites the first; a file that is gone gets no size or dates.
        CPreviewPages::writeFileInfoPage(QStringLiteral("/no/such/file.dll"), QStringLiteral("dll ファイル"), &error);
        const QString second = QString::fromUtf8(readAll(page));
        QVERIFY(!second.contains(QStringLiteral("日本語.exe")));
        QVERIFY(second.contains(QStringLiteral("<B>サイズ：</B>不明<br><B>作成日付：</B>不明<BR>\n")));
    }

    void mediaAndBlankPages() {
        const QString movie = QString::fromStdString(m_temp.write("clip #1.mp4", "data"));
        QString error;
        const QString page = CPreviewPages::writeMediaPage(movie, true, 480, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString src = QUrl::fromLocalFile(movie).toString(QUrl::FullyEncoded);
        QCOMPARE(QString::fromUtf8(readAll(page)),
                 QStringLiteral("<HTML>\r\n<HEAD><META charset=\"utf-8\"><TITLE>clip #1.mp4</TITLE></HEAD>\r\n"
                                "<BODY><VIDEO SRC=\"%1\" AUTOSTART=\"FALSE\" HEIGHT=\"430\" CONTROLS=\"CONTROLS\""
                                " STYLE=\"max-width:100%\">"
                                "</VIDEO></BODY>\r\n</HTML>")
                     .arg(src));
        QVERIFY(src.endsWith(QStringLiteral("clip%20%231.mp4")));

        const QString sound = QString::fromStdString(m_temp.write("song.mp3", "data"));
        CPreviewPages::writeMediaPage(sound, false, 480, &error);
        const QString audio = QString::fromUtf8(readAll(page));
        QVERIFY(audio.contains(QStringLiteral("<AUDIO SRC=\"") + QUrl::fromLocalFile(sound).toString() +
                               QStringLiteral("\" AUTOSTART=\"FALSE\" CONTROLS=\"CONTROLS\" STYLE=\"max-width:100%\"></AUDIO>")));
        QVERIFY(!audio.contains(QStringLiteral("HEIGHT")));

        QCOMPARE(CPreviewPages::writeBlankInfoPage(QString(), &error), QStringLiteral("about:blank"));
        QCOMPARE(CPreviewPages::writeBlankInfoPage(sound, &error), page);
        QVERIFY(QString::fromUtf8(readAll(page)).contains(QStringLiteral("<H1>バイナリファイル</H1>")));
    }

    void pageIsWrittenOnlyInAPrivateFolderAndNeverThroughALink() {
        // A link planted at the page's name, to a file of the user's: it stays a link, its target keeps
        // its bytes, and the failure is reported.
        const QString victim = QString::fromStdString(m_temp.write("victim.txt", "keep"));
        const QString planted = CPreviewPages::previewPagePath();
        QVERIFY(QFile::remove(planted) || !QFileInfo::exists(planted));
        QVERIFY(QFile::link(victim, planted));
        QString error;
        QCOMPARE(CPreviewPages::writeMediaPage(QStringLiteral("/x.wav"), false, 100, &error), planted);
        QVERIFY2(error.contains(planted), qPrintable(error));
        QCOMPARE(readAll(victim), QByteArray("keep"));
        QCOMPARE(QFileInfo(planted).symLinkTarget(), victim);
        QVERIFY(QFile::remove(planted));

        // A runtime folder others may enter, or none: a 0700 folder of our own in the temporary folder,
        // the same one for every page.
        const QString open = QString::fromStdString(m_temp.makeFolder("open-runtime"));
        ::chmod(open.toLocal8Bit().constData(), 0755);
        qputenv("XDG_RUNTIME_DIR", open.toLocal8Bit());
        error.clear();
        const QString own = CPreviewPages::writeMediaPage(QStringLiteral("/x.wav"), false, 100, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QFileInfo folder(QFileInfo(own).path());
        QCOMPARE(folder.dir().path(), QDir::tempPath());
        QVERIFY(folder.fileName().startsWith(QStringLiteral("quillory-")));
        struct stat info {};
        QCOMPARE(::lstat(folder.filePath().toLocal8Bit().constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0700u);
        QCOMPARE(info.st_uid, ::geteuid());
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(CPreviewPages::writeMediaPage(QStringLiteral("/y.wav"), false, 100, &error), own);
        QVERIFY(readAll(own).contains("y.wav"));
        qputenv("XDG_RUNTIME_DIR", m_runtime.toLocal8Bit());
    }

    void unwritablePageIsReported() {
        // No runtime folder, and a temporary "folder" that is a file: no private folder can be made, so
        // nothing is written and the browser gets a blank page.
        const std::string notFolder = m_temp.write("not-a-folder", "");
        const QByteArray saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", QByteArray::fromStdString(notFolder));
        qunsetenv("XDG_RUNTIME_DIR");
        QString error;
        const QString page = CPreviewPages::writeMediaPage(QStringLiteral("/x.wav"), false, 100, &error);
        qputenv("TMPDIR", saved);
        qputenv("XDG_RUNTIME_DIR", m_runtime.toLocal8Bit());
        QCOMPARE(page, QStringLiteral("about:blank"));
        QVERIFY2(error.contains(QString::fromStdString(notFolder)), qPrintable(error));
    }
};

QTEST_MAIN(PreviewPagesTest)
#include "PreviewPagesTest.moc"
