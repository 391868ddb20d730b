// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/RtfReader.h"

#include "common/DazoError.h"
#include "project/RichTextUnits.h"
#include "project/RtfTokenizer.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextOption>

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dazo::ui {
namespace {

// Groups nested deeper than this share the state of the deepest one, so a
// hostile file cannot make the state stack grow without bound.
constexpr std::size_t kMaxGroupDepth = 256;

// Qt marks every item of a list dirty when one is added, so a long list costs
// the square of its length; longer lists go on as a new list of the same kind
// (numbers start again at one there).
constexpr int kMaxListItems = 500;

// Word allows indents of 22 inches; anything beyond is a broken file.
constexpr int kMaxIndentTwips = 31680;
// More tab stops than a line of paper has room for are a broken file.
constexpr qsizetype kMaxTabStops = 64;
constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxHalfPoints = 3276;

enum class Destination {
    Text,       // the document's text
    FontTable,  // \fonttbl
    ColorTable, // \colortbl
    ListMarker, // \pntext, \listtext: the bullet or number as plain text
    Numbering,  // \pn: how the paragraph is numbered
    Skipped,    // everything else that is not shown
};

enum class Word {
    FontTable, ColorTable, ListMarker, Numbering, SkippedDestination,
    DefaultFont, UnicodeSkip, Unicode,
    Plain, Font, FontSize, Bold, Italic, Underline, UnderlineNone, Strike, Color, Background,
    Red, Green, Blue,
    Pard, AlignLeft, AlignCenter, AlignRight, AlignJustify,
    FirstIndent, LeftIndent, RightIndent, SpaceBefore, SpaceAfter, ListMember,
    TabStop, TabCenter, TabRight,
    NumberBullet, NumberDecimal, NumberLowerAlpha, NumberUpperAlpha, NumberLowerRoman, NumberUpperRoman, NumberNone,
    Paragraph,
};

const std::unordered_map<std::string_view, Word>& Words()
{
    static const std::unordered_map<std::string_view, Word> words = [] {
        std::unordered_map<std::string_view, Word> map = {
            {"fonttbl", Word::FontTable}, {"colortbl", Word::ColorTable},
            {"pntext", Word::ListMarker}, {"listtext", Word::ListMarker}, {"pn", Word::Numbering},
            {"deff", Word::DefaultFont}, {"uc", Word::UnicodeSkip}, {"u", Word::Unicode},
            {"plain", Word::Plain}, {"f", Word::Font}, {"fs", Word::FontSize},
            {"b", Word::Bold}, {"i", Word::Italic}, {"ulnone", Word::UnderlineNone}, {"strike", Word::Strike},
            {"cf", Word::Color}, {"cb", Word::Background}, {"highlight", Word::Background},
            {"chcbpat", Word::Background},
            {"red", Word::Red}, {"green", Word::Green}, {"blue", Word::Blue},
            {"pard", Word::Pard}, {"ql", Word::AlignLeft}, {"qc", Word::AlignCenter}, {"qr", Word::AlignRight},
            {"qj", Word::AlignJustify}, {"qd", Word::AlignJustify},
            {"fi", Word::FirstIndent}, {"li", Word::LeftIndent}, {"ri", Word::RightIndent},
            {"sb", Word::SpaceBefore}, {"sa", Word::SpaceAfter}, {"ls", Word::ListMember},
            {"tx", Word::TabStop}, {"tb", Word::TabStop}, {"tqc", Word::TabCenter}, {"tqr", Word::TabRight},
            {"pnlvlblt", Word::NumberBullet}, {"pnlvlbody", Word::NumberDecimal}, {"pndec", Word::NumberDecimal},
            {"pnlcltr", Word::NumberLowerAlpha}, {"pnucltr", Word::NumberUpperAlpha},
            {"pnlcrm", Word::NumberLowerRoman}, {"pnucrm", Word::NumberUpperRoman},
            {"pnlvlcont", Word::NumberNone},
            {"par", Word::Paragraph}, {"sect", Word::Paragraph}, {"page", Word::Paragraph},
            {"row", Word::Paragraph}, {"nestrow", Word::Paragraph},
        };
        for (std::string_view underline : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                                           "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd",
                                           "ulthldash", "ululdbwave", "ulw", "ulwave"})
            map.emplace(underline, Word::Underline);
        // Destinations without "\*" whose content is not text of the document.
        for (std::string_view skipped : {"stylesheet", "info", "pict", "object", "objdata", "result", "header",
                                         "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf",
                                         "footnote", "annotation", "fldinst", "xe", "tc", "txe", "rxe", "private",
                                         "pntxta", "pntxtb", "nonshppict", "shp", "shpinst", "sp", "sn", "sv",
                                         "themedata", "colorschememapping", "listtable", "listoverridetable",
                                         "revtbl", "rsidtbl", "generator", "filetbl", "latentstyles",
                                         "datastore", "xmlnstbl", "pgdsctbl", "mmathPr", "template"})
            map.emplace(skipped, Word::SkippedDestination);
        return map;
    }();
    return words;
}

const std::unordered_map<std::string_view, char16_t>& SpecialCharacters()
{
    static const std::unordered_map<std::string_view, char16_t> characters = {
        {"tab", u'\t'},         {"cell", u'\t'},        {"nestcell", u'\t'},  {"line", QChar::LineSeparator},
        {"emdash", 0x2014},     {"endash", 0x2013},     {"emspace", 0x2003},  {"enspace", 0x2002},
        {"qmspace", 0x2005},    {"bullet", 0x2022},     {"lquote", 0x2018},   {"rquote", 0x2019},
        {"ldblquote", 0x201C},  {"rdblquote", 0x201D},  {"zwj", 0x200D},      {"zwnj", 0x200C},
    };
    return characters;
}

struct CharacterState {
    int font = -1; // -1: the default font (\deff)
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
    QTextListFormat::Style numbering = QTextListFormat::ListStyleUndefined; // from \pn
    bool listMember = false; // \ls: a list whose kind the marker text tells
    QList<QTextOption::Tab> tabs; // positions in twips from the text's left edge, as RTF counts them
    QTextOption::TabType nextTabType = QTextOption::LeftTab; // from \tqc, \tqr, for the next \tx
};

struct GroupState {
    CharacterState character;
    ParagraphState paragraph;
    Destination destination = Destination::Text;
    int unicodeSkip = 1; // \uc
};

// The kind of list a marker such as "1.", "a)" or a bullet sign stands for.
QTextListFormat::Style StyleOfMarker(const QString& marker)
{
    const QString text = marker.trimmed();
    if (text.size() >= 2 && (text.endsWith(u'.') || text.endsWith(u')'))) {
        const QChar first = text.front();
        if (first.isDigit())
            return QTextListFormat::ListDecimal;
        if (first.isLower())
            return QTextListFormat::ListLowerAlpha;
        if (first.isUpper())
            return QTextListFormat::ListUpperAlpha;
    }
    return QTextListFormat::ListDisc;
}

// QTextDocument measures tab stops from the paragraph's left margin, RTF
// from the text's left edge; stops left of the margin are dropped.
QList<QTextOption::Tab> TabsFromMargin(const ParagraphState& paragraph)
{
    QList<QTextOption::Tab> tabs;
    for (const QTextOption::Tab& tab : paragraph.tabs)
        if (tab.position >= paragraph.leftIndent)
            tabs.append(QTextOption::Tab(TwipsToPixels(static_cast<int>(tab.position) - paragraph.leftIndent), tab.type));
    return tabs;
}

class Reader {
public:
    explicit Reader(QTextDocument& document) : cursor_(&document) {}

    void Read(std::string_view rtf)
    {
        // One edit block: the cursor does not lay out the block after every
        // insertion, and a view lays out the document once at the end.
        cursor_.beginEditBlock();
        ReadTokens(rtf);
        cursor_.endEditBlock();
    }

private:
    void ReadTokens(std::string_view rtf)
    {
        RtfTokenizer tokens(rtf);
        for (;;) {
            const RtfToken token = tokens.Next();
            switch (token.kind) {
            case RtfToken::Kind::End:
                if (!stack_.empty())
                    Finish();
                return;
            case RtfToken::Kind::GroupStart:
                OpenGroup();
                break;
            case RtfToken::Kind::GroupEnd:
                if (CloseGroup())
                    return;
                break;
            case RtfToken::Kind::Text:
                Text(token.text);
                break;
            case RtfToken::Kind::ControlWord:
                if (!SkippedAfterUnicode())
                    ControlWord(token);
                ignorable_ = false;
                break;
            case RtfToken::Kind::ControlSymbol:
                if (!SkippedAfterUnicode())
                    ControlSymbol(token.symbol);
                break;
            case RtfToken::Kind::HexByte:
                if (!SkippedAfterUnicode())
                    Append(Windows1252ToUnicode(token.byte));
                break;
            }
        }
    }

    GroupState& Top() { return stack_.back(); }

    void OpenGroup()
    {
        skipRemaining_ = 0;
        ignorable_ = false;
        if (stack_.size() >= kMaxGroupDepth)
            ++flattened_;
        else
            stack_.push_back(stack_.empty() ? GroupState{} : stack_.back());
    }

    // True when the document's outermost group has closed.
    bool CloseGroup()
    {
        skipRemaining_ = 0;
        ignorable_ = false;
        if (flattened_ > 0) {
            --flattened_;
            return false;
        }
        if (stack_.empty()) // a stray brace before the document
            return false;
        if (stack_.size() == 1) {
            Finish();
            return true;
        }
        const GroupState closed = stack_.back();
        stack_.pop_back();
        if (closed.destination == Destination::FontTable)
            CommitFont(); // the last entry may lack its ";"
        else if (closed.destination == Destination::Numbering && Top().destination != Destination::Numbering)
            Top().paragraph.numbering = closed.paragraph.numbering;
        return false;
    }

    // The characters that stand in for a \u character are dropped.
    bool SkippedAfterUnicode()
    {
        if (skipRemaining_ == 0)
            return false;
        --skipRemaining_;
        return true;
    }

    void Text(std::string_view bytes)
    {
        if (stack_.empty())
            return;
        for (const char byte : bytes) {
            if (byte == '\r' || byte == '\n' || SkippedAfterUnicode())
                continue;
            Append(Windows1252ToUnicode(static_cast<unsigned char>(byte)));
        }
    }

    void Append(char16_t character)
    {
        if (stack_.empty())
            return;
        switch (Top().destination) {
        case Destination::Text:
            // Control characters, and those QTextCursor would take for block or frame breaks.
            if ((character < 0x20 && character != u'\t') || character == QChar::ParagraphSeparator ||
                character == 0xFDD0 || character == 0xFDD1 || character == QChar::ObjectReplacementCharacter)
                return;
            UseCurrentCharacterFormat();
            run_.append(QChar(character));
            paragraphOpen_ = true;
            break;
        case Destination::FontTable:
            if (character == u';')
                CommitFont();
            else
                fontName_.append(QChar(character));
            break;
        case Destination::ColorTable:
            if (character == u';')
                CommitColor();
            break;
        case Destination::ListMarker:
            marker_.append(QChar(character));
            break;
        case Destination::Numbering:
        case Destination::Skipped:
            break;
        }
    }

    void ControlSymbol(char symbol)
    {
        switch (symbol) {
        case '\\':
        case '{':
        case '}':
            return Append(static_cast<char16_t>(symbol));
        case '~':
            return Append(0x00A0);
        case '_':
            return Append(0x2011);
        case '-':
            return Append(0x00AD);
        case '*':
            ignorable_ = true;
            return;
        case '\r':
        case '\n':
            if (!stack_.empty() && Top().destination == Destination::Text)
                EndParagraph();
            return;
        default:
            return;
        }
    }

    void ControlWord(const RtfToken& token)
    {
        if (stack_.empty() || Top().destination == Destination::Skipped)
            return;
        const auto word = Words().find(token.text);
        if (word == Words().end()) {
            if (ignorable_) // "{\*\name": a destination this reader does not know
                Top().destination = Destination::Skipped;
            else if (const auto special = SpecialCharacters().find(token.text); special != SpecialCharacters().end())
                Append(special->second);
            return;
        }
        const int value = token.parameter;
        const bool on = !token.hasParameter || value != 0;
        GroupState& top = Top();
        CharacterState& character = top.character;
        ParagraphState& paragraph = top.paragraph;
        switch (word->second) {
        case Word::FontTable:
            return SetDestination(Destination::FontTable);
        case Word::ColorTable:
            colors_.clear();
            return SetDestination(Destination::ColorTable);
        case Word::ListMarker:
            markerSeen_ = true;
            return SetDestination(Destination::ListMarker);
        case Word::Numbering:
            return SetDestination(Destination::Numbering);
        case Word::SkippedDestination:
            return SetDestination(Destination::Skipped);
        case Word::DefaultFont:
            defaultFont_ = value;
            return;
        case Word::UnicodeSkip:
            top.unicodeSkip = std::max(0, value);
            return;
        case Word::Unicode:
            // Values above 32767 are written negative.
            if (token.hasParameter && value >= -32768 && value <= 65535)
                Append(static_cast<char16_t>(value < 0 ? value + 65536 : value));
            skipRemaining_ = top.unicodeSkip;
            return;
        case Word::Plain:
            character = CharacterState{};
            return;
        case Word::Font:
            if (top.destination == Destination::FontTable)
                fontIndex_ = value;
            else
                character.font = value;
            return;
        case Word::FontSize:
            character.halfPoints = value > 0 ? std::min(value, kMaxHalfPoints) : kDefaultHalfPoints;
            return;
        case Word::Bold:
            character.bold = on;
            return;
        case Word::Italic:
            character.italic = on;
            return;
        case Word::Underline:
            character.underline = on;
            return;
        case Word::UnderlineNone:
            character.underline = false;
            return;
        case Word::Strike:
            character.strike = on;
            return;
        case Word::Color:
            character.color = std::max(0, value);
            return;
        case Word::Background:
            character.background = std::max(0, value);
            return;
        case Word::Red:
            red_ = std::clamp(value, 0, 255);
            colorGiven_ = true;
            return;
        case Word::Green:
            green_ = std::clamp(value, 0, 255);
            colorGiven_ = true;
            return;
        case Word::Blue:
            blue_ = std::clamp(value, 0, 255);
            colorGiven_ = true;
            return;
        case Word::Pard:
            paragraph = ParagraphState{};
            return;
        case Word::AlignLeft:
            paragraph.alignment = Qt::AlignLeft;
            return;
        case Word::AlignCenter:
            paragraph.alignment = Qt::AlignHCenter;
            return;
        case Word::AlignRight:
            paragraph.alignment = Qt::AlignRight;
            return;
        case Word::AlignJustify:
            paragraph.alignment = Qt::AlignJustify;
            return;
        case Word::FirstIndent:
            paragraph.firstIndent = std::clamp(value, -kMaxIndentTwips, kMaxIndentTwips);
            return;
        case Word::LeftIndent:
            paragraph.leftIndent = std::clamp(value, -kMaxIndentTwips, kMaxIndentTwips);
            return;
        case Word::RightIndent:
            paragraph.rightIndent = std::clamp(value, -kMaxIndentTwips, kMaxIndentTwips);
            return;
        case Word::SpaceBefore:
            paragraph.spaceBefore = std::clamp(value, 0, kMaxIndentTwips);
            return;
        case Word::SpaceAfter:
            paragraph.spaceAfter = std::clamp(value, 0, kMaxIndentTwips);
            return;
        case Word::ListMember:
            paragraph.listMember = value > 0;
            return;
        case Word::TabCenter:
            paragraph.nextTabType = QTextOption::CenterTab;
            return;
        case Word::TabRight:
            paragraph.nextTabType = QTextOption::RightTab;
            return;
        case Word::TabStop:
            if (paragraph.tabs.size() < kMaxTabStops)
                paragraph.tabs.append(QTextOption::Tab(std::clamp(value, 0, kMaxIndentTwips), paragraph.nextTabType));
            paragraph.nextTabType = QTextOption::LeftTab;
            return;
        case Word::NumberBullet:
            paragraph.numbering = QTextListFormat::ListDisc;
            return;
        case Word::NumberDecimal:
            paragraph.numbering = QTextListFormat::ListDecimal;
            return;
        case Word::NumberLowerAlpha:
            paragraph.numbering = QTextListFormat::ListLowerAlpha;
            return;
        case Word::NumberUpperAlpha:
            paragraph.numbering = QTextListFormat::ListUpperAlpha;
            return;
        case Word::NumberLowerRoman:
            paragraph.numbering = QTextListFormat::ListLowerRoman;
            return;
        case Word::NumberUpperRoman:
            paragraph.numbering = QTextListFormat::ListUpperRoman;
            return;
        case Word::NumberNone:
            paragraph.numbering = QTextListFormat::ListStyleUndefined;
            return;
        case Word::Paragraph:
            if (top.destination == Destination::Text)
                EndParagraph();
            return;
        }
    }

    void SetDestination(Destination destination)
    {
        Top().destination = destination;
    }

    void CommitFont()
    {
        if (fontName_.isEmpty())
            return;
        fonts_[fontIndex_] = fontName_.trimmed();
        fontName_.clear();
    }

    void CommitColor()
    {
        colors_.push_back(colorGiven_ ? QColor(red_, green_, blue_) : QColor());
        red_ = green_ = blue_ = 0;
        colorGiven_ = false;
    }

    QColor ColorAt(int index) const
    {
        return index > 0 && index < static_cast<int>(colors_.size()) ? colors_[index] : QColor();
    }

    QTextCharFormat CharacterFormat(const CharacterState& state) const
    {
        QTextCharFormat format;
        const auto font = fonts_.find(state.font < 0 ? defaultFont_ : state.font);
        if (font != fonts_.end() && !font->second.isEmpty())
            format.setFontFamilies(QStringList{font->second});
        format.setFontPointSize(state.halfPoints / 2.0);
        format.setFontWeight(state.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(state.italic);
        format.setFontUnderline(state.underline);
        format.setFontStrikeOut(state.strike);
        if (const QColor color = ColorAt(state.color); color.isValid())
            format.setForeground(color);
        if (const QColor color = ColorAt(state.background); color.isValid())
            format.setBackground(color);
        return format;
    }

    void UseCurrentCharacterFormat()
    {
        if (runFormatValid_ && Top().character == runState_)
            return;
        FlushRun();
        runState_ = Top().character;
        runFormat_ = CharacterFormat(runState_);
        runFormatValid_ = true;
    }

    void FlushRun()
    {
        if (run_.isEmpty())
            return;
        StartParagraphIfNeeded();
        cursor_.insertText(run_, runFormat_);
        run_.clear();
    }

    void StartParagraphIfNeeded()
    {
        if (!paragraphPending_)
            return;
        cursor_.insertBlock(QTextBlockFormat(), QTextCharFormat());
        paragraphPending_ = false;
    }

    QTextListFormat::Style ListStyle(const ParagraphState& paragraph) const
    {
        if (paragraph.numbering != QTextListFormat::ListStyleUndefined)
            return paragraph.numbering;
        if (paragraph.listMember || markerSeen_)
            return StyleOfMarker(marker_);
        return QTextListFormat::ListStyleUndefined;
    }

    void EndParagraph()
    {
        StartParagraphIfNeeded();
        FlushRun();
        const GroupState& state = Top();
        const ParagraphState& paragraph = state.paragraph;
        const QTextListFormat::Style style = ListStyle(paragraph);
        const bool inList = style != QTextListFormat::ListStyleUndefined;

        QTextBlockFormat block;
        block.setAlignment(paragraph.alignment);
        block.setTextIndent(TwipsToPixels(paragraph.firstIndent + (inList ? kListHangTwips : 0)));
        block.setLeftMargin(TwipsToPixels(paragraph.leftIndent));
        block.setRightMargin(TwipsToPixels(paragraph.rightIndent));
        block.setTopMargin(TwipsToPixels(paragraph.spaceBefore));
        block.setBottomMargin(TwipsToPixels(paragraph.spaceAfter));
        if (!paragraph.tabs.isEmpty())
            block.setTabPositions(TabsFromMargin(paragraph));
        cursor_.setBlockFormat(block);
        cursor_.setBlockCharFormat(CharacterFormat(state.character));

        if (!inList) {
            list_ = nullptr;
        } else if (list_ && list_->format().style() == style && list_->count() < kMaxListItems) {
            list_->add(cursor_.block());
        } else {
            QTextListFormat format;
            format.setStyle(style);
            format.setIndent(0); // the paragraph's own margin makes room for the marker
            list_ = cursor_.createList(format);
        }
        paragraphPending_ = true;
        paragraphOpen_ = false;
        marker_.clear();
        markerSeen_ = false;
    }

    void Finish()
    {
        // A last paragraph without \par; the \par ending the document opens none.
        if (paragraphOpen_ || !paragraphPending_)
            EndParagraph();
    }

    QTextCursor cursor_;
    std::vector<GroupState> stack_;
    std::size_t flattened_ = 0; // groups opened beyond kMaxGroupDepth
    bool ignorable_ = false;    // "\*" seen: the next word names a destination
    int skipRemaining_ = 0;     // characters still to drop after \u

    std::unordered_map<int, QString> fonts_;
    int defaultFont_ = 0;
    int fontIndex_ = 0;
    QString fontName_;

    std::vector<QColor> colors_;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    bool colorGiven_ = false;

    QString run_; // text not yet inserted, all in runFormat_
    QTextCharFormat runFormat_;
    CharacterState runState_;
    bool runFormatValid_ = false;
    bool paragraphPending_ = false; // the next content opens a new block
    bool paragraphOpen_ = false;    // the current block has content
    QString marker_;
    bool markerSeen_ = false;
    QTextList* list_ = nullptr;
};

} // namespace

bool IsRtf(const QByteArray& bytes)
{
    qsizetype start = 0;
    while (start < bytes.size() && QChar::isSpace(static_cast<unsigned char>(bytes[start])))
        ++start;
    return QByteArrayView(bytes).sliced(start).startsWith("{\\rtf");
}

void ReadRtf(const QByteArray& rtf, QTextDocument& document)
{
    if (!IsRtf(rtf))
        Fail("ungültiges Dateiformat");
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    Reader(document).Read(std::string_view(rtf.constData(), static_cast<std::size_t>(rtf.size())));
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
}

} // namespace dazo::ui
