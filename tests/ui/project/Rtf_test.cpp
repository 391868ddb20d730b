// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/RtfReader.h"
#include "project/RtfWriter.h"

#include "common/DazoError.h"
#include "common/Encoding.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

namespace dazo::ui {
namespace {

QTextDocument* Read(const std::string& rtf, QTextDocument& document)
{
    ReadRtf(QByteArray::fromStdString(rtf), document);
    return &document;
}

// The block holding the text, and the format of its first character.
QTextBlock BlockWith(const QTextDocument& document, const QString& text)
{
    const QTextCursor found = document.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    return found.block();
}

QTextCharFormat FormatOf(const QTextDocument& document, const QString& text)
{
    QTextCursor found = document.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    found.setPosition(found.selectionStart() + 1); // the format of the character left of the position
    return found.charFormat();
}

// The text with every character as stored, paragraphs split by "\n".
QString RawText(const QTextDocument& document)
{
    return document.toRawText().replace(QChar::ParagraphSeparator, u'\n');
}

QString Family(const QTextCharFormat& format)
{
    return format.font().family();
}

struct ReadCase {
    const char* name;
    std::string rtf;
    QString text;
    std::function<void(const QTextDocument&)> check;
};

std::string Repeat(const std::string& part, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += part;
    return out;
}

const std::vector<ReadCase>& ReadCases()
{
    static const std::vector<ReadCase> cases = {
        {"WordPad",
         "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1031{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}"
         "{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
         "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
         "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
         "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang7 Gr\\'f6\\'dfe \\b fett\\b0  \\i kursiv\\i0  "
         "\\ul unterstrichen\\ulnone  \\cf1 rot\\cf0\\par\r\n"
         "\\pard\\sa200\\sl276\\slmult1\\qc zentriert\\par\r\n"
         "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720"
         "\\sa200\\sl276\\slmult1 eins\\par\r\n"
         "{\\pntext\\f1\\'B7\\tab}zwei\\par\r\n"
         "\\pard\\sa200\\sl276\\slmult1 Ende\\par\r\n}\r\n",
         QStringLiteral("Größe fett kursiv unterstrichen rot\nzentriert\neins\nzwei\nEnde"),
         [](const QTextDocument& d) {
             const QTextCharFormat plain = FormatOf(d, "Größe");
             EXPECT_EQ(Family(plain), "Calibri");
             EXPECT_EQ(plain.fontPointSize(), 11.0);
             EXPECT_EQ(plain.fontWeight(), QFont::Normal);
             EXPECT_EQ(FormatOf(d, "fett").fontWeight(), QFont::Bold);
             EXPECT_TRUE(FormatOf(d, "kursiv").fontItalic());
             EXPECT_FALSE(FormatOf(d, "kursiv").fontUnderline());
             EXPECT_TRUE(FormatOf(d, "unterstrichen").fontUnderline());
             EXPECT_EQ(FormatOf(d, "rot").foreground().color(), QColor(255, 0, 0));
             EXPECT_FALSE(plain.hasProperty(QTextFormat::ForegroundBrush));
             EXPECT_EQ(BlockWith(d, "Größe").blockFormat().bottomMargin(), 200 / 15.0);
             EXPECT_EQ(BlockWith(d, "zentriert").blockFormat().alignment(), Qt::AlignHCenter);
             const QTextBlock one = BlockWith(d, "eins");
             ASSERT_NE(one.textList(), nullptr);
             EXPECT_EQ(one.textList()->format().style(), QTextListFormat::ListDisc);
             EXPECT_EQ(one.textList(), BlockWith(d, "zwei").textList());
             EXPECT_EQ(one.textList()->count(), 2);
             EXPECT_EQ(one.blockFormat().leftMargin(), 48.0); // 720 twips
             EXPECT_EQ(one.blockFormat().textIndent(), 0.0);  // the hanging part holds the bullet
             EXPECT_EQ(BlockWith(d, "Ende").textList(), nullptr);
         }},
        {"Word",
         "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0\\stshfdbch0\\deflang1031"
         "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
         "{\\f1\\fbidi \\fswiss\\fcharset0\\fprq2{\\*\\panose 020b0604020202020204}Arial;}"
         "{\\f3\\fbidi \\froman\\fcharset2\\fprq2{\\*\\panose 05050102010706020507}Symbol;}}\r\n"
         "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
         "{\\stylesheet{\\ql \\li0\\ri0\\widctlpar\\fs24\\lang1031 \\snext0 \\sqformat \\spriority0 Normal;}}\r\n"
         "{\\*\\listtable{\\list\\listtemplateid-1\\listhybrid{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0"
         "\\levelfollow0\\levelstartat1{\\leveltext\\leveltemplateid67567617\\'01\\u-3913 ?;}{\\levelnumbers;}"
         "\\f3\\fbias0 \\fi-360\\li720\\lin720 }{\\listname ;}\\listid1}}\r\n"
         "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}\r\n"
         "{\\info{\\title Bericht}{\\author Pr\\'fcfer}}{\\*\\rsidtbl \\rsid1}"
         "{\\*\\generator Microsoft Word 16.0;}\r\n"
         "\\pard\\plain \\ltrpar\\ql \\li0\\ri0\\widctlpar\\rtlch\\fcs1 \\af0\\afs24 \\ltrch\\fcs0 \\fs24\\lang1031 "
         "{\\rtlch\\fcs1 \\af1 \\ltrch\\fcs0 \\f1\\fs20\\cf2 Preis: 5 \\u8364\\'80}"
         "{\\rtlch\\fcs1 \\af1 \\ltrch\\fcs0 \\f1\\fs20 \\par }\r\n"
         "\\pard \\ltrpar\\ql \\fi-360\\li720\\ri0\\widctlpar\\ls1\\rin0\\lin720\\itap0 "
         "{\\listtext\\pard\\plain\\ltrpar \\rtlch\\fcs1 \\af0\\afs24 \\ltrch\\fcs0 \\f3\\fs24\\lang1031 "
         "\\loch\\af3\\dbch\\af0\\hich\\f3 \\'b7\\tab}{\\rtlch\\fcs1 \\af1 \\ltrch\\fcs0 \\f1\\fs20 Punkt}"
         "{\\rtlch\\fcs1 \\af1 \\ltrch\\fcs0 \\f1\\fs20 \\par }\r\n"
         "\\pard \\ltrpar\\qr \\li0\\ri1440\\widctlpar {\\b\\i Rechts}\\par\r\n"
         "{\\*\\themedata 504b0304}\r\n{\\*\\datastore 0105000002000000}}",
         QStringLiteral("Preis: 5 €\nPunkt\nRechts"),
         [](const QTextDocument& d) {
             const QTextCharFormat price = FormatOf(d, "Preis");
             EXPECT_EQ(Family(price), "Arial");
             EXPECT_EQ(price.fontPointSize(), 10.0);
             EXPECT_EQ(price.foreground().color(), QColor(0, 0, 255));
             const QTextBlock point = BlockWith(d, "Punkt");
             ASSERT_NE(point.textList(), nullptr);
             EXPECT_EQ(point.textList()->format().style(), QTextListFormat::ListDisc);
             EXPECT_EQ(point.blockFormat().leftMargin(), 48.0);
             const QTextCharFormat right = FormatOf(d, "Rechts");
             EXPECT_EQ(right.fontWeight(), QFont::Bold);
             EXPECT_TRUE(right.fontItalic());
             EXPECT_EQ(Family(right), "Times New Roman"); // \plain went back to \deff0
             EXPECT_EQ(BlockWith(d, "Rechts").blockFormat().alignment(), Qt::AlignRight);
             EXPECT_EQ(BlockWith(d, "Rechts").blockFormat().rightMargin(), 96.0);
             EXPECT_EQ(BlockWith(d, "Rechts").textList(), nullptr);
         }},
        {"LibreOffice",
         "{\\rtf1\\ansi\\deff4\\adeflang1025\r\n"
         "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f4\\fswiss\\fprq2\\fcharset0 Liberation Sans"
         "{\\*\\falt Arial};}{\\f5\\fnil\\fprq2\\fcharset2 OpenSymbol{\\*\\falt Arial Unicode MS};}}\r\n"
         "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
         "{\\stylesheet{\\s0\\snext0\\ql\\nowidctlpar\\hyphpar0\\ltrpar\\cf0\\kerning1\\fs24\\lang1031 Standard;}\r\n"
         "}{\\*\\generator LibreOffice/7.3.7.2$Linux_X86_64 LibreOffice_project/30$Build-2}"
         "{\\info{\\creatim\\yr2024\\mo1\\dy1\\hr10\\min0}}{\\*\\userprops{\\propname AppVersion}\\proptype30"
         "{\\staticval 16.0000}}\\deftab709\r\n"
         "{\\*\\pgdsctbl\r\n{\\pgdsc0\\pgdscuse451\\pgwsxn11906\\pghsxn16838\\pgdscnxt0 Standard;}}\r\n"
         "\\formshade{\\*\\pgdscno0}\\paperh16838\\paperw11906\\sectd\\sbknone\\pgndec\r\n"
         "{\\*\\ftnsep\\chftnsep}\\pgndec\\pard\\plain \\s0\\ql\\nowidctlpar\\ltrpar\\cf0\\kerning1\\dbch\\af5"
         "\\loch\\f3\\hich\\af3\\fs24\\lang1031\\qj\\li567\\ri0\\lin567\\rin0\\fi283{\\cf2\\loch\\f4\\fs28 Blocksatz "
         "\\u8222\\'84Zitat\\u8220\\'93 {\\field{\\*\\fldinst HYPERLINK \"http://example.org\"}{\\fldrslt Verweis}}}\r\n"
         "\\par \\pard\\plain \\s0\\ql\\ltrpar\\loch\\f4\\fs24\\ls1{\\listtext\\pard\\plain \\u8226\\'95\\tab}Listenpunkt\r\n"
         "\\par \\pard\\plain \\s0\\ql\\ltrpar\\loch\\f4\\fs24\\ls2{\\listtext\\pard\\plain 1.\\tab}Nummer eins\r\n"
         "\\par }",
         QStringLiteral("Blocksatz „Zitat“ Verweis\nListenpunkt\nNummer eins"),
         [](const QTextDocument& d) {
             const QTextCharFormat quote = FormatOf(d, "Blocksatz");
             EXPECT_EQ(Family(quote), "Liberation Sans");
             EXPECT_EQ(quote.fontPointSize(), 14.0);
             EXPECT_EQ(quote.foreground().color(), QColor(0, 128, 0));
             const QTextBlockFormat justified = BlockWith(d, "Blocksatz").blockFormat();
             EXPECT_EQ(justified.alignment(), Qt::AlignJustify);
             EXPECT_DOUBLE_EQ(justified.leftMargin(), 567 / 15.0);
             EXPECT_DOUBLE_EQ(justified.textIndent(), 283 / 15.0);
             ASSERT_NE(BlockWith(d, "Listenpunkt").textList(), nullptr);
             EXPECT_EQ(BlockWith(d, "Listenpunkt").textList()->format().style(), QTextListFormat::ListDisc);
             ASSERT_NE(BlockWith(d, "Nummer").textList(), nullptr);
             EXPECT_EQ(BlockWith(d, "Nummer").textList()->format().style(), QTextListFormat::ListDecimal);
         }},
        {"PicturesAndBinaryData",
         "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}Vor{\\pict\\pngblip\\picw10\\pich10 89504e470d0a1a0a0000000d4948}"
         "{\\*\\shppict{\\pict\\wmetafile8 0100}}{\\nonshppict{\\pict\\wmetafile8 0100}}"
         "{\\pict\\bin6 }{\\\\{x}nach\\par}",
         QStringLiteral("Vornach"), [](const QTextDocument& d) { EXPECT_EQ(Family(FormatOf(d, "nach")), "Arial"); }},
        {"SymbolsAndUnicode",
         // Other code pages are read as Windows-1252.
         "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}a\\~b\\-c\\_d\\{\\}\\\\\\tab e\\line f\\emdash"
         "\\lquote x\\rquote\\'e4\\'80 {\\uc2\\u8364xxY}\\u-10179?\\u-8704?{\\uc0\\u252}!\\fs21 z\\par}",
         QString::fromUtf16(u"a\u00A0b\u00ADc\u2011d{}\\\te\u2028f\u2014\u2018x\u2019ä€ €Y\U0001F600ü!z"),
         [](const QTextDocument& d) { EXPECT_EQ(FormatOf(d, "z").fontPointSize(), 10.5); }},
        {"DeeperThanTheLimit",
         "{\\rtf1\\ansi" + Repeat("{", 10) + "\\b " + Repeat("{", 290) + "tief" + Repeat("}", 300) +
             "flach\\par}",
         QStringLiteral("tiefflach"),
         [](const QTextDocument& d) {
             EXPECT_EQ(FormatOf(d, "tief").fontWeight(), QFont::Bold);
             EXPECT_EQ(FormatOf(d, "flach").fontWeight(), QFont::Normal);
         }},
        {"LastParagraphWithoutPar",
         "{\\rtf1 eins\\par\\qc zwei}", QStringLiteral("eins\nzwei"),
         [](const QTextDocument& d) { EXPECT_EQ(BlockWith(d, "zwei").blockFormat().alignment(), Qt::AlignHCenter); }},
        {"EmptyParagraphs", "{\\rtf1 \\par\\par x\\par}", QStringLiteral("\n\nx"), nullptr},
    };
    return cases;
}

TEST(RtfReader, ReadsWhatWordProcessorsWrite)
{
    for (const ReadCase& c : ReadCases()) {
        SCOPED_TRACE(c.name);
        QTextDocument document;
        Read(c.rtf, document);
        EXPECT_EQ(RawText(document), c.text);
        if (c.check)
            c.check(document);
        EXPECT_FALSE(document.isModified());
        EXPECT_FALSE(document.isUndoAvailable());
    }
}

TEST(RtfReader, RefusesWhatIsNotRtf)
{
    QTextDocument document;
    document.setPlainText("bleibt");
    EXPECT_FALSE(IsRtf("Ergebnis"));
    EXPECT_TRUE(IsRtf(" \r\n{\\rtf1}"));
    try {
        ReadRtf("Ergebnis", document);
        FAIL();
    } catch (const DazoError& e) {
        EXPECT_STREQ(e.what(), Ansi("ungültiges Dateiformat").c_str());
    }
    EXPECT_EQ(document.toPlainText(), "bleibt");
}

TEST(RtfReader, HostileInputFinishesQuickly)
{
    const struct {
        const char* name;
        std::string rtf;
        QString text;
    } cases[] = {
        {"unbalanced open", "{\\rtf1 {{{ abc", " abc"},
        {"unbalanced close", "{\\rtf1 abc}}}}} def", "abc"},
        {"stray close first", "{\\rtf1 }", ""},
        {"bin beyond the end", "{\\rtf1 a\\bin999999 bcd}", "a"},
        {"negative bin", "{\\rtf1 a\\bin-5 b}", "ab"},
        {"huge parameters",
         "{\\rtf1 \\fs99999999999999999999 \\li-99999999999999 \\cf999999999 \\f-7 \\uc99999999 x\\par}", "x"},
        {"huge unicode", "{\\rtf1 \\u99999999999 a\\u-99999999 b}", ""},
        {"escape at the end", "{\\rtf1 a\\'4", "a4"},
        {"backslash at the end", "{\\rtf1 a\\", "a"},
        {"hundred thousand groups", "{\\rtf1 " + Repeat("{", 100000) + "x" + Repeat("}", 100000) + "y}", "xy"},
        {"groups never closed", "{\\rtf1 " + Repeat("{\\b x", 100000), QString(100000, u'x')},
        {"long control word", "{\\rtf1 \\" + std::string(1000000, 'a') + " b}", "b"},
        {"many runs", "{\\rtf1 " + Repeat("\\b a\\b0 b", 50000) + "}", QStringLiteral("ab").repeated(50000)},
        {"many paragraphs", "{\\rtf1 " + Repeat("\\pard\\qc a\\par", 20000) + "}",
         QStringLiteral("a\n").repeated(20000).chopped(1)},
        {"many list items", "{\\rtf1 " + Repeat("{\\pntext *\\tab}a\\par", 20000) + "}",
         QStringLiteral("a\n").repeated(20000).chopped(1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QElapsedTimer timer;
        timer.start();
        QTextDocument document;
        ASSERT_NO_THROW(Read(c.rtf, document));
        EXPECT_EQ(RawText(document), c.text);
        EXPECT_LT(timer.elapsed(), 1500);
    }
}

TEST(RtfReader, DamagedSnippetsReadAndWriteBackTheSameText)
{
    // Random edits of the snippets above, reproducible by the fixed seed.
    std::mt19937 random(20240101);
    const std::string pieces = "{}\\'*0123456789abfiuclpqrstx -;";
    for (const ReadCase& c : ReadCases()) {
        for (int round = 0; round < 200; ++round) {
            std::string rtf = c.rtf;
            for (int edits = 1 + random() % 8; edits > 0; --edits) {
                const std::size_t at = 5 + random() % (rtf.size() - 5);
                switch (random() % 3) {
                case 0:
                    rtf[at] = pieces[random() % pieces.size()];
                    break;
                case 1:
                    rtf.insert(at, 1, pieces[random() % pieces.size()]);
                    break;
                default:
                    rtf.erase(at, 1 + random() % 5);
                    break;
                }
            }
            QTextDocument damaged;
            ASSERT_NO_THROW(Read(rtf, damaged)) << rtf;
            QTextDocument copy;
            ReadRtf(WriteRtf(damaged), copy);
            ASSERT_EQ(RawText(copy), RawText(damaged)) << rtf;
        }
    }
}

// The formatting a character shows, as one comparable text.
QStringList CharacterSignatures(const QTextDocument& document)
{
    QStringList signatures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QFont font = format.font().resolve(document.defaultFont());
            const QString signature =
                QStringLiteral("%1 %2 b%3 i%4 u%5 %6 %7")
                    .arg(font.family())
                    .arg(font.pointSizeF())
                    .arg(font.bold())
                    .arg(font.italic())
                    .arg(font.underline())
                    .arg(format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color().name() : "auto")
                    .arg(format.hasProperty(QTextFormat::BackgroundBrush) ? format.background().color().name() : "none");
            for (int i = 0; i < it.fragment().length(); ++i)
                signatures << signature;
        }
        signatures << "¶";
    }
    return signatures;
}

QStringList ParagraphSignatures(const QTextDocument& document)
{
    QStringList signatures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        const QTextList* list = block.textList();
        signatures << QStringLiteral("a%1 fi%2 li%3 ri%4 sb%5 sa%6 list%7")
                          .arg(int(format.alignment() & Qt::AlignHorizontal_Mask))
                          .arg(std::lround(format.textIndent() * 15))
                          .arg(std::lround(format.leftMargin() * 15))
                          .arg(std::lround(format.rightMargin() * 15))
                          .arg(std::lround(format.topMargin() * 15))
                          .arg(std::lround(format.bottomMargin() * 15))
                          .arg(list ? int(list->format().style()) : 0);
    }
    return signatures;
}

void InsertParagraph(QTextCursor& cursor, Qt::Alignment alignment, double first, double left, double right)
{
    QTextBlockFormat block;
    block.setAlignment(alignment);
    block.setTextIndent(first);
    block.setLeftMargin(left);
    block.setRightMargin(right);
    cursor.insertBlock(block);
}

QTextDocument& Sample(QTextDocument& document)
{
    QTextCursor cursor(&document);
    QTextCharFormat arial;
    arial.setFontFamilies({"Arial"});
    arial.setFontPointSize(12);
    arial.setFontWeight(QFont::Bold);
    cursor.insertText("Überschrift {mit} \\Klammern\\", arial);
    QTextCharFormat fancy = arial;
    fancy.setFontWeight(QFont::Normal);
    fancy.setFontItalic(true);
    fancy.setFontUnderline(true);
    fancy.setForeground(QColor(0, 128, 255));
    fancy.setFontPointSize(10.5);
    fancy.setFontFamilies({"Times New Roman"});
    cursor.insertText(" Ärger 5 € \u03a9 \U0001F600\tTab", fancy);

    InsertParagraph(cursor, Qt::AlignHCenter, 0, 0, 0);
    cursor.insertText("zentriert", arial);
    InsertParagraph(cursor, Qt::AlignRight, -12, 48, 24);
    QTextCharFormat marked = arial;
    marked.setBackground(QColor(255, 255, 0));
    cursor.insertText("rechts", marked);
    cursor.insertText(QString(QChar::LineSeparator) + "zweite Zeile", arial);

    InsertParagraph(cursor, Qt::AlignLeft, 0, 24, 0);
    QTextListFormat bullets;
    bullets.setStyle(QTextListFormat::ListDisc);
    bullets.setIndent(0);
    QTextList* list = cursor.createList(bullets);
    cursor.insertText("Punkt eins", arial);
    InsertParagraph(cursor, Qt::AlignLeft, 0, 24, 0);
    list->add(cursor.block());
    cursor.insertText("Punkt zwei", arial);

    InsertParagraph(cursor, Qt::AlignLeft, 0, 48, 0);
    QTextListFormat numbers;
    numbers.setStyle(QTextListFormat::ListDecimal);
    numbers.setIndent(0);
    cursor.createList(numbers);
    cursor.insertText("Nummer", arial);

    InsertParagraph(cursor, Qt::AlignJustify, 0, 0, 0);
    InsertParagraph(cursor, Qt::AlignLeft, 0, 0, 0);
    cursor.insertText("Ende", arial);
    return document;
}

TEST(RtfWriter, RoundTripKeepsTextAndFormatting)
{
    QTextDocument original;
    Sample(original);
    const QByteArray rtf = WriteRtf(original);
    QTextDocument copy;
    ReadRtf(rtf, copy);
    EXPECT_EQ(RawText(copy), RawText(original));
    EXPECT_EQ(CharacterSignatures(copy), CharacterSignatures(original));
    EXPECT_EQ(ParagraphSignatures(copy), ParagraphSignatures(original));
    EXPECT_EQ(BlockWith(copy, "Punkt eins").textList(), BlockWith(copy, "Punkt zwei").textList());

    // A second round gives the same bytes: nothing drifts.
    EXPECT_EQ(WriteRtf(copy), rtf);
}

TEST(RtfWriter, WritesRtfThatOtherReadersUnderstand)
{
    QTextDocument document;
    Sample(document);
    const std::string rtf = WriteRtf(document).toStdString();
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0", 0), 0u);
    EXPECT_EQ(rtf.back(), '}');
    for (const char* expected : {
             "{\\fonttbl{\\f0\\fnil\\fcharset0 ", "\\fnil\\fcharset0 Arial;}", "\\fnil\\fcharset2 Symbol;}",
             "{\\colortbl ;\\red0\\green128\\blue255;\\red255\\green255\\blue0;}",
             "\\'dcberschrift \\{mit\\} \\\\Klammern\\\\", "\\'c4rger 5 \\'80 \\u937? \\u-10179?\\u-8704?\\tab Tab",
             "\\i\\ul\\cf1 ", "\\qc", "\\qr\\fi-180\\li720\\ri360", "\\highlight2 rechts", "\\line zweite",
             "{\\pntext\\f3\\'b7\\tab}", "{\\*\\pn\\pnlvlblt\\pnf3\\pnindent0{\\pntxtb\\'b7}}",
             "\\pnlvlbody\\pnf1\\pnindent0\\pnstart1\\pndec{\\pntxta .}", "{\\pntext\\f1 1.\\tab}", "\\qj"})
        EXPECT_NE(rtf.find(expected), std::string::npos) << expected << "\n" << rtf;
    // The second bullet continues the list: no \pard, only its marker.
    EXPECT_NE(rtf.find("eins\\par\r\n{\\pntext"), std::string::npos) << rtf;
    for (const char c : rtf)
        EXPECT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);
}

TEST(RtfWriter, EmptyDocumentStaysOneEmptyParagraph)
{
    QTextDocument empty;
    QTextDocument copy;
    ReadRtf(WriteRtf(empty), copy);
    EXPECT_EQ(copy.blockCount(), 1);
    EXPECT_EQ(copy.toPlainText(), "");
}

} // namespace
} // namespace dazo::ui
