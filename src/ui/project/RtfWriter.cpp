// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/RtfWriter.h"

#include "project/RichTextUnits.h"
#include "project/RtfTokenizer.h"

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextOption>

#include <cmath>
#include <vector>

namespace dazo::ui {
namespace {

constexpr int kDefaultHalfPoints = 24;

// The bullet of the symbol font, the one every word processor draws.
constexpr char kSymbolFont[] = "Symbol";
constexpr char kSymbolBullet[] = "\\'b7";

struct CharacterState {
    int font = 0; // the first font is the default (\deff0)
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0; // 0: automatic
    int background = 0;
    bool operator==(const CharacterState&) const = default;
};

struct ParagraphState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int firstIndent = 0; // twips
    int leftIndent = 0;
    int rightIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    QList<QTextOption::Tab> tabs;
    const QTextList* list = nullptr;
    bool operator==(const ParagraphState&) const = default;
};

bool IsBulletStyle(QTextListFormat::Style style)
{
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

const char* NumberingWord(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListLowerAlpha:
        return "pnlcltr";
    case QTextListFormat::ListUpperAlpha:
        return "pnucltr";
    case QTextListFormat::ListLowerRoman:
        return "pnlcrm";
    case QTextListFormat::ListUpperRoman:
        return "pnucrm";
    default:
        return "pndec";
    }
}

class Writer {
public:
    explicit Writer(const QTextDocument& document) : document_(document)
    {
        FontIndex(DefaultFont().family()); // \deff0
    }

    QByteArray Write()
    {
        bool first = true;
        ParagraphState previous;
        for (QTextBlock block = document_.begin(); block.isValid(); block = block.next()) {
            const ParagraphState paragraph = ParagraphOf(block);
            if (first || !(paragraph == previous))
                WriteParagraphProperties(paragraph, block);
            if (paragraph.list)
                WriteListMarker(*paragraph.list, block);
            WriteBlockText(block);
            Word("par");
            Raw("\r\n");
            previous = paragraph;
            first = false;
        }
        return Header() + body_ + '}';
    }

private:
    QFont DefaultFont() const { return document_.defaultFont(); }

    QByteArray Header() const
    {
        QByteArray header = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
        for (std::size_t i = 0; i < fonts_.size(); ++i) {
            header += "{\\f" + QByteArray::number(static_cast<qulonglong>(i)) + "\\fnil\\fcharset" +
                      (fonts_[i] == QLatin1String(kSymbolFont) ? "2 " : "0 ") + Escaped(fonts_[i]) + ";}";
        }
        header += '}';
        if (!colors_.empty()) {
            header += "{\\colortbl ;";
            for (const QColor& color : colors_)
                header += "\\red" + QByteArray::number(color.red()) + "\\green" + QByteArray::number(color.green()) +
                          "\\blue" + QByteArray::number(color.blue()) + ';';
            header += '}';
        }
        return header + "\r\n";
    }

    int FontIndex(const QString& family)
    {
        for (std::size_t i = 0; i < fonts_.size(); ++i)
            if (fonts_[i] == family)
                return static_cast<int>(i);
        fonts_.push_back(family);
        return static_cast<int>(fonts_.size()) - 1;
    }

    int ColorIndex(const QTextFormat& format, QTextFormat::Property property)
    {
        if (!format.hasProperty(property))
            return 0;
        const QBrush brush = format.brushProperty(property);
        if (brush.style() == Qt::NoBrush)
            return 0;
        const QColor color = brush.color().toRgb();
        for (std::size_t i = 0; i < colors_.size(); ++i)
            if (colors_[i].rgb() == color.rgb())
                return static_cast<int>(i) + 1;
        colors_.push_back(color);
        return static_cast<int>(colors_.size());
    }

    CharacterState CharacterOf(const QTextCharFormat& format)
    {
        const QFont font = format.font().resolve(DefaultFont());
        const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
        CharacterState state;
        state.font = FontIndex(font.family().isEmpty() ? DefaultFont().family() : font.family());
        state.halfPoints = points > 0 ? std::max(1, static_cast<int>(std::lround(points * 2))) : kDefaultHalfPoints;
        state.bold = font.bold();
        state.italic = font.italic();
        state.underline = font.underline();
        state.strike = font.strikeOut();
        state.color = ColorIndex(format, QTextFormat::ForegroundBrush);
        state.background = ColorIndex(format, QTextFormat::BackgroundBrush);
        return state;
    }

    ParagraphState ParagraphOf(const QTextBlock& block) const
    {
        const QTextBlockFormat format = block.blockFormat();
        ParagraphState state;
        state.list = block.textList();
        // Indent levels are steps of the document's indent width on top of the margin.
        int levels = format.indent();
        if (state.list)
            levels += state.list->format().indent();
        state.alignment = format.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute;
        state.firstIndent = PixelsToTwips(format.textIndent()) - (state.list ? kListHangTwips : 0);
        state.leftIndent = PixelsToTwips(format.leftMargin() + levels * document_.indentWidth());
        state.rightIndent = PixelsToTwips(format.rightMargin());
        state.spaceBefore = PixelsToTwips(format.topMargin());
        state.spaceAfter = PixelsToTwips(format.bottomMargin());
        state.tabs = format.tabPositions();
        return state;
    }

    void WriteParagraphProperties(const ParagraphState& paragraph, const QTextBlock& block)
    {
        Word("pard");
        if (paragraph.list)
            WriteNumbering(*paragraph.list, block);
        if (paragraph.alignment & Qt::AlignHCenter)
            Word("qc");
        else if (paragraph.alignment & Qt::AlignJustify)
            Word("qj");
        else if (paragraph.alignment & Qt::AlignRight)
            Word("qr");
        const std::pair<const char*, int> lengths[] = {
            {"fi", paragraph.firstIndent}, {"li", paragraph.leftIndent}, {"ri", paragraph.rightIndent},
            {"sb", paragraph.spaceBefore}, {"sa", paragraph.spaceAfter}};
        for (const auto& [word, twips] : lengths)
            if (twips != 0)
                Word(word, twips);
        for (const QTextOption::Tab& tab : paragraph.tabs) {
            if (tab.type == QTextOption::CenterTab)
                Word("tqc");
            else if (tab.type == QTextOption::RightTab)
                Word("tqr");
            Word("tx", PixelsToTwips(tab.position) + paragraph.leftIndent); // RTF counts from the text's edge
        }
    }

    // {\*\pn ...}: the paragraph is numbered, until the next \pard.
    void WriteNumbering(const QTextList& list, const QTextBlock& block)
    {
        const QTextListFormat::Style style = list.format().style();
        Raw("{\\*");
        Word("pn");
        if (IsBulletStyle(style)) {
            Word("pnlvlblt");
            Word("pnf", FontIndex(QLatin1String(kSymbolFont)));
            Word("pnindent", 0);
            Raw("{");
            Word("pntxtb");
            Raw(kSymbolBullet);
        } else {
            Word("pnlvlbody");
            Word("pnf", CharacterOf(block.charFormat()).font);
            Word("pnindent", 0);
            Word("pnstart", 1);
            Word(NumberingWord(style));
            Raw("{");
            Word("pntxta");
            Text(QStringLiteral("."));
        }
        Raw("}}");
    }

    // {\pntext ...}: the bullet or number as text for readers without lists.
    void WriteListMarker(const QTextList& list, const QTextBlock& block)
    {
        Raw("{");
        Word("pntext");
        if (IsBulletStyle(list.format().style())) {
            Word("f", FontIndex(QLatin1String(kSymbolFont)));
            Raw(kSymbolBullet);
        } else {
            Word("f", CharacterOf(block.charFormat()).font);
            Text(list.itemText(block));
        }
        Word("tab");
        Raw("}");
    }

    void WriteBlockText(const QTextBlock& block)
    {
        bool empty = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            ApplyCharacter(CharacterOf(fragment.charFormat()));
            Text(fragment.text());
            empty = false;
        }
        if (empty) // an empty line keeps its size
            ApplyCharacter(CharacterOf(block.charFormat()));
    }

    void ApplyCharacter(const CharacterState& wanted)
    {
        if (wanted.font != current_.font)
            Word("f", wanted.font);
        if (wanted.halfPoints != current_.halfPoints)
            Word("fs", wanted.halfPoints);
        if (wanted.bold != current_.bold)
            wanted.bold ? Word("b") : Word("b", 0);
        if (wanted.italic != current_.italic)
            wanted.italic ? Word("i") : Word("i", 0);
        if (wanted.underline != current_.underline)
            Word(wanted.underline ? "ul" : "ulnone");
        if (wanted.strike != current_.strike)
            wanted.strike ? Word("strike") : Word("strike", 0);
        if (wanted.color != current_.color)
            Word("cf", wanted.color);
        if (wanted.background != current_.background)
            Word("highlight", wanted.background);
        current_ = wanted;
    }

    void Word(const char* name)
    {
        body_ += '\\';
        body_ += name;
        delimiterPending_ = true;
    }

    void Word(const char* name, int parameter)
    {
        Word(name);
        body_ += QByteArray::number(parameter);
    }

    void Raw(const char* rtf)
    {
        body_ += rtf;
        delimiterPending_ = false;
    }

    void Text(const QString& text)
    {
        for (const QChar character : text) {
            const char16_t c = character.unicode();
            switch (c) {
            case u'\t':
                Word("tab");
                continue;
            case QChar::LineSeparator:
                Word("line");
                continue;
            case QChar::Nbsp:
                Raw("\\~");
                continue;
            case QChar::SoftHyphen:
                Raw("\\-");
                continue;
            case QChar::ObjectReplacementCharacter: // pictures and other objects are not written
                continue;
            default:
                break;
            }
            if (c < 0x20)
                continue;
            if (c < 0x80) {
                if (delimiterPending_)
                    body_ += ' ';
                if (c == u'\\' || c == u'{' || c == u'}')
                    body_ += '\\';
                body_ += static_cast<char>(c);
                delimiterPending_ = false;
            } else {
                body_ += Escaped(QString(character));
                delimiterPending_ = false;
            }
        }
    }

    // Text outside the ASCII range: \'xx in Windows-1252, else \uN with "?"
    // for readers without Unicode.
    static QByteArray Escaped(const QString& text)
    {
        QByteArray out;
        for (const QChar character : text) {
            const char16_t c = character.unicode();
            if (c < 0x80) {
                if (c == u'\\' || c == u'{' || c == u'}')
                    out += '\\';
                out += static_cast<char>(c);
            } else if (const int byte = UnicodeToWindows1252(c); byte >= 0) {
                out += "\\'" + QByteArray::number(byte, 16).rightJustified(2, '0');
            } else {
                out += "\\u" + QByteArray::number(c > 32767 ? c - 65536 : c) + '?';
            }
        }
        return out;
    }

    const QTextDocument& document_;
    std::vector<QString> fonts_;
    std::vector<QColor> colors_; // \colortbl entries 1, 2, …
    CharacterState current_;
    QByteArray body_;
    bool delimiterPending_ = false; // a control word was written last
};

} // namespace

QByteArray WriteRtf(const QTextDocument& document)
{
    return Writer(document).Write();
}

} // namespace dazo::ui
