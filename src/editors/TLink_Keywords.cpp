#include "TLink_Keywords.h"

#include "Pickers.h"
#include "TGeneral_Keywords.h"
#include "reader/NumberConversion.h"
#include "reader/Text.h"
#include "reader/ValueRules.h"
#include "shell/BrowseButton.h"
#include "shell/ChoiceField.h"
#include "shell/ErrorBox.h"
#include "shell/FileOpenDialog.h"
#include "shell/NumberField.h"
#include "shell/RadioChoice.h"
#include "shell/RowForm.h"
#include "shell/Startup.h"
#include "shell/TextField.h"
#include "shell/UseBox.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int Wide = 530;
constexpr int Narrow = 121;
constexpr int Radio = 530;
constexpr int Max100k = 100000;

// How a stored text becomes the state of its field when a link is shown.
enum class Load {
    Text,          // the text as stored; an empty cell empties the field
    OnOff,         // "On" for on/yes, else "Off"
    InvertedOnOff, // "Off" for no/off, else "On"
    Number,        // the number, held to the field's range; empty gives the default and
                   // clears the row's Use box
    Radio,         // the rule's default, then each word found selects its option
    BundleStyle,   // as Radio, but the default is the option captioned as the one selected in
                   // the General Keywords window
};

using vog::RadioRule;

// clang-format off
const RadioRule AllowEmptyPktPwdRule{0, {{"on", 2}, {"secure", 1}}};
const RadioRule AvailListRule{0, {{"unique", 1}, {"uniqueone", 2}}};
const RadioRule EchoMailFlavourRule{0, {
    {"normal", 1}, {"crash", 2}, {"direct", 3}, {"immediate", 4}}};
const RadioRule ForwardPktsRule{2, {{"off", 0}, {"secure", 1}}};
const RadioRule LinkBundleNameStyleRule{-1, {
    {"timestamp", 0}, {"addrdiff", 1}, {"addrdiffalways", 2}, {"addrscrc32", 3},
    {"addrscrc32always", 4}, {"amiga", 5}}};
const RadioRule PauseRule{1, {{"on", 0}, {"earea", 2}, {"farea", 3}}};

struct LoadRow
{
    const char *field;
    int storeRow;
    Load rule;
    int numberDefault = 0;
    const RadioRule *radio = nullptr;
};

// The rows a load walks, in store-row order: a failing row leaves it and every later row as
// they were. Row 32 (the link's name) and row 34 (linkdefaults) are shown nowhere.
const LoadRow LoadTable[] = {
    {"AccessGrp",              1,  Load::Text},
    {"AdvancedAreafix",        2,  Load::OnOff},
    {"Aka",                    3,  Load::Text},
    {"AllowEmptyPktPwd",       4,  Load::Radio,         0,   &AllowEmptyPktPwdRule},
    {"AllowPktAddrDiffer",     5,  Load::OnOff},
    {"ArcmailSize",            6,  Load::Number,        500},
    {"ArcNetmail",             7,  Load::OnOff},
    {"Areafix",                8,  Load::InvertedOnOff},
    {"AreafixEchoLimit",       9,  Load::Number},
    {"AreafixPwd",             10, Load::Text},
    {"AutoAreaCreate",         11, Load::InvertedOnOff},
    {"AutoAreaCreateFile",     12, Load::Text},
    {"AutoAreaCreateDefaults", 13, Load::Text},
    {"AutoAreaCreateSubdirs",  14, Load::OnOff},
    {"AutoPause",              15, Load::Number},
    {"AvailList",              16, Load::Radio,         0,   &AvailListRule},
    {"DenyFwdFile",            17, Load::Text},
    {"DenyFwdMask",            18, Load::Text},
    {"DenyFwdReqAccess",       19, Load::OnOff},
    {"DenyUncondFwdReqAccess", 20, Load::OnOff},
    {"EchoMailFlavour",        21, Load::Radio,         0,   &EchoMailFlavourRule},
    {"Export",                 22, Load::InvertedOnOff},
    {"ForwardAreaPriority",    23, Load::Number},
    {"ForwardPkts",            24, Load::Radio,         0,   &ForwardPktsRule},
    {"ForwardRequestFile",     25, Load::Text},
    {"ForwardRequestMask",     26, Load::Text},
    {"ForwardRequests",        27, Load::OnOff},
    {"FileBox",                28, Load::Text},
    {"FileBoxAlways",          29, Load::OnOff},
    {"Import",                 30, Load::InvertedOnOff},
    {"Level",                  31, Load::Number},
    {"LinkBundleNameStyle",    33, Load::BundleStyle,   0,   &LinkBundleNameStyleRule},
    {"LinkGrp",                35, Load::Text},
    {"LinkMsgBaseDir",         36, Load::Text},
    {"Mandatory",              37, Load::OnOff},
    {"Manual",                 38, Load::OnOff},
    {"NoRules",                39, Load::OnOff},
    {"OptGrp",                 40, Load::Text},
    {"OurAka",                 41, Load::Text},
    {"PackAka",                42, Load::Text},
    {"Packer",                 43, Load::Text},
    {"Password",               44, Load::Text},
    {"Pause",                  45, Load::Radio,         0,   &PauseRule},
    {"PktSize",                46, Load::Number},
    {"PktPwd",                 47, Load::Text},
    {"RemoteRobotName",        48, Load::Text},
};
// clang-format on

// The option of LinkBundleNameStyle captioned as the one selected in the General Keywords
// window's BundleNameStyle (whose options stand in another order), or -1 when none is.
int bundleStyleDefault(const vog::RadioChoice *linkStyle)
{
    if (!General_Keywords || !General_Keywords->BundleNameStyle)
        return -1;
    const vog::RadioChoice *general = General_Keywords->BundleNameStyle;
    const int selected = general->selectedOption();
    return selected < 0 ? -1 : linkStyle->optionWithCaption(general->caption(selected));
}

void setChoice(QWidget *field, const char *text)
{
    static_cast<vog::ChoiceField *>(field)->setChoiceText(QString::fromLatin1(text));
}

} // namespace

struct TLink_Keywords::LoadTarget
{
    const LoadRow *row;
    QWidget *field;
    vog::UseBox *use; // the number field's Use box, if it has one
};

TLink_Keywords::TLink_Keywords(QWidget *parent)
    : vog::EditorWindow(QStringLiteral("Link_Keywords"), QStringLiteral("Link Keywords"),
                        QRect(83, 16, 719, 571), 160, 55, parent)
{
    vog::RowForm &f = *form();

    Label1 = new QLabel(QStringLiteral("Link"), &f);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont titleFont(QStringLiteral("Courier New"));
    titleFont.setStyleHint(QFont::TypeWriter);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    titleFont.setPixelSize(15);
    Label1->setFont(titleFont);
    Label1->move(138, 11);
    Label1->adjustSize();

    LinkChange = new QComboBox(&f);
    LinkChange->setObjectName(QStringLiteral("LinkChange"));
    LinkChange->setEditable(true);
    // Typed text never becomes an entry: entry k must stay paired with column k + 1.
    LinkChange->setInsertPolicy(QComboBox::NoInsert);
    // Sizing to the contents would measure every name again on each append.
    LinkChange->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    LinkChange->setMinimumContentsLength(20);
    placeLinkChange();
    LinkChange->setAccessibleName(QStringLiteral("Link"));
    Label1->setBuddy(LinkChange);

    // clang-format off
    f.text  (FIELD(AccessGrp),              39, Wide);
    f.onOff (FIELD(AdvancedAreafix),        30);
    f.text  (FIELD(Aka),                    57, Narrow);
    f.radio (FIELD(AllowEmptyPktPwd),       {"Off", "Secure", "On"}, 3, Radio);
    f.onOff (FIELD(AllowPktAddrDiffer),     29);
    f.number(FIELD(ArcmailSize),            40, Max100k);
    f.onOff (FIELD(ArcNetmail),             43);
    f.onOff (FIELD(Areafix),                50);
    f.number(FIELD(AreafixEchoLimit),       29, Max100k);
    f.use   (FIELD(AreafixEchoLimitUse));
    f.text  (FIELD(AreafixPwd),             44, Narrow);
    f.onOff (FIELD(AutoAreaCreate),         44);
    f.text  (FIELD(AutoAreaCreateFile),     33, Wide - 1);
    f.button(FIELD(AutoAreaCreateFileButton));
    f.text  (FIELD(AutoAreaCreateDefaults), 39, Wide);
    f.onOff (FIELD(AutoAreaCreateSubdirs),  44);
    f.number(FIELD(AutoPause),              42, Max100k);
    f.use   (FIELD(AutoPauseUse));
    f.radio (FIELD(AvailList),              {"Full", "Unique", "UniqueOne"}, 3, Radio);
    f.text  (FIELD(DenyFwdFile),            35, Wide);
    f.button(FIELD(DenyFwdFileButton));
    f.text  (FIELD(DenyFwdMask),            26, Wide);
    f.onOff (FIELD(DenyFwdReqAccess),       44);
    f.onOff (FIELD(DenyUncondFwdReqAccess), 44);
    f.radio (FIELD(EchoMailFlavour),        {"hold", "normal", "crash", "direct", "immediate"}, 5, Radio);
    f.onOff (FIELD(Export),                 44);
    f.number(FIELD(ForwardAreaPriority),    29, Max100k);
    f.use   (FIELD(ForwardAreaPriorityUse));
    f.radio (FIELD(ForwardPkts),            {"off", "secure", "on"}, 3, Radio);
    f.text  (FIELD(ForwardRequestFile),     26, Wide);
    f.button(FIELD(ForwardRequestFileButton));
    f.text  (FIELD(ForwardRequestMask),     26, Wide);
    f.onOff (FIELD(ForwardRequests),        44);
    f.text  (FIELD(FileBox),                45, Wide);
    f.button(FIELD(FileBoxButton));
    f.onOff (FIELD(FileBoxAlways),          44);
    f.onOff (FIELD(Import),                 44);
    f.number(FIELD(Level),                  47, Max100k);
    f.radio (FIELD(LinkBundleNameStyle),    {"timeStamp", "addrDiff", "addrDiffAlways",
                                             "addrsCRC32", "addrsCRC32Always", "Amiga"}, 3, Radio);
    f.text  (FIELD(LinkGrp),                41, Wide);
    f.text  (FIELD(LinkMsgBaseDir),         45, Wide);
    f.button(FIELD(LinkMsgBaseDirButton));
    f.onOff (FIELD(Mandatory),              44);
    f.onOff (FIELD(Manual),                 44);
    f.onOff (FIELD(NoRules),                44);
    f.text  (FIELD(OptGrp),                 41, Wide);
    f.text  (FIELD(OurAka),                 44, Narrow);
    f.text  (FIELD(PackAka),                44, Narrow);
    f.text  (FIELD(Packer),                 44, Narrow);
    f.text  (FIELD(Password),               44, Narrow);
    f.radio (FIELD(Pause),                  {"on", "off", "earea", "farea"}, 4, Radio);
    f.number(FIELD(PktSize),                47, Max100k);
    f.use   (FIELD(PktSizeUse));
    f.text  (FIELD(PktPwd),                 44, Narrow);
    f.text  (FIELD(RemoteRobotName),        44, Narrow);
    // clang-format on
    f.relayout();

    QList<QWidget *> order{LinkChange};
    order.append(f.fieldsWithButtons());
    order.append(f.useBoxes());
    vog::RowForm::chainFocus(order);

    for (const LoadRow &row : LoadTable) {
        const QString name = QString::fromLatin1(row.field);
        auto *field = f.findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
        auto *use = f.findChild<vog::UseBox *>(name + QStringLiteral("Use"),
                                              Qt::FindDirectChildrenOnly);
        Q_ASSERT(field);
        m_targets.push_back({&row, field, use});
    }

    OpenFileDialog = new vog::FileOpenDialog(QStringLiteral("OpenFileDialog"), this);

    // One load per user change: a pick from the list, or an edit of the text. Changes made
    // by the program (the Open adding entries) load nothing.
    connect(LinkChange, &QComboBox::activated, this, &TLink_Keywords::LinkChangeChange);
    connect(LinkChange->lineEdit(), &QLineEdit::textEdited, this,
            &TLink_Keywords::LinkChangeChange);

    connectBrowseButtons();
}

TLink_Keywords::~TLink_Keywords() = default;

void TLink_Keywords::changeEvent(QEvent *event)
{
    vog::EditorWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange && LinkChange)
        placeLinkChange();
}

void TLink_Keywords::placeLinkChange()
{
    // As tall as the current font needs.
    LinkChange->setGeometry(188, 9, 383, LinkChange->sizeHint().height());
}

void TLink_Keywords::LinkChangeChange()
{
    // Entry k names column k + 1; with no entry selected, column 0 holds the lines that stood
    // before the file's first link.
    const int column = LinkChange->currentIndex() + 1;
    vog::guarded([&] { loadRecord(column); });
}

void TLink_Keywords::loadRecord(int column)
{
    for (const LoadTarget &t : m_targets) {
        const LoadRow &row = *t.row;
        const QByteArrayView cell = LinksStringGrid.cell(column, row.storeRow);
        if (row.rule != Load::Text && row.rule != Load::Number)
            vog::lowerInto(cell, m_lowered);
        switch (row.rule) {
        case Load::Text:
            static_cast<vog::TextField *>(t.field)->setText(vog::decodeValue(cell));
            break;
        case Load::OnOff:
            setChoice(t.field, vog::onOffText(m_lowered));
            break;
        case Load::InvertedOnOff:
            setChoice(t.field, vog::invertedOnOffText(m_lowered));
            break;
        case Load::Number: {
            auto *number = static_cast<vog::NumberField *>(t.field);
            if (cell.isEmpty()) {
                number->setNumber(row.numberDefault);
                if (t.use)
                    t.use->setChecked(false);
            } else {
                // Throws for a text that is no number; this row and the rest keep their values.
                number->setNumber(vog::convertNumber(cell));
            }
            break;
        }
        case Load::Radio:
        case Load::BundleStyle: {
            auto *radio = static_cast<vog::RadioChoice *>(t.field);
            const int fallback = row.rule == Load::BundleStyle ? bundleStyleDefault(radio)
                                                               : row.radio->defaultOption;
            // -1 (nothing in General, no word here) selects nothing: the last choice stays.
            radio->selectOption(vog::radioOption(m_lowered, row.radio->words, fallback));
            break;
        }
        }
    }
    emit linkLoaded(column);
}

void TLink_Keywords::AutoAreaCreateFileButtonClick()
{
    vog::pickFile(OpenFileDialog, AutoAreaCreateFile);
}

void TLink_Keywords::DenyFwdFileButtonClick()
{
    vog::pickFile(OpenFileDialog, DenyFwdFile);
}

void TLink_Keywords::ForwardRequestFileButtonClick()
{
    vog::pickFile(OpenFileDialog, ForwardRequestFile);
}

void TLink_Keywords::FileBoxButtonClick()
{
    vog::pickDirectory(FileBox);
}

void TLink_Keywords::LinkMsgBaseDirButtonClick()
{
    vog::pickDirectory(LinkMsgBaseDir);
}
