#include "views/jmp_view.h"

#include "board/board_service.h"
#include "views/field_edit.h"
#include "views/labelled_edit.h"
#include "views/radio_choice.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSvgWidget>
#include <QVBoxLayout>

static void initPictureResource() {
    // The pictures live in a static library, so their resource must be
    // registered by hand.
    Q_INIT_RESOURCE(pictures);
}

namespace kv {

namespace {

// The example schematic, drawn at its own size.
const QString SchematicFile = QStringLiteral(":/pictures/jmp_link_schematic.svg");
constexpr QSize SchematicSize(199, 294);

struct ModeButton {
    const char* name;
    const char* caption;
};

// In the order of their values, 0 to 6.
constexpr ModeButton ModeButtons[JmpView::ModeCount] = {
    {"rbtJMPIRLearn", "No operation (default)"},
    {"rbtJMPCloud", "Pull pin to ground during a cloud"},
    {"rbtJMPStorm", "Pull pin to ground during a thunderstorm"},
    {"rbtJMPCooler", "Pull pin to ground when temperature exceeds a value (cooler)"},
    {"rbtJMPHeater", "Pull pin to ground when temperature falls below a value (heater)"},
    {"rbtJMPLightning", "Pull pin to ground during a lightning"},
    {"rbtJMPTimer", "Scheduled (see \"Schedule\", column \"JMP pin\", in hundredths of a second)"},
};

QWidget* newSchematic(QWidget* parent) {
    initPictureResource();
    auto* picture = new QSvgWidget(SchematicFile, parent);
    picture->setObjectName(QStringLiteral("imgLink"));
    picture->setFixedSize(SchematicSize);
    picture->setAccessibleName(QStringLiteral("Beispielschaltung"));
    picture->setAccessibleDescription(
        QString::fromUtf8("Pin 5 des Link-Ports (active low) steuert über einen "
                          "Basiswiderstand einen NPN-Transistor, der ein 12-V-Relais mit "
                          "Freilaufdiode schaltet. Ein Pull-up-Widerstand hält den Transistor "
                          "leitend, solange der Pin nicht auf Masse liegt; der Verbraucher "
                          "hängt am Ruhekontakt und läuft, während der Pin auf Masse liegt."));
    return picture;
}

} // namespace

JmpView::JmpView(ViewContext context)
    : View(context, QStringLiteral("tsJMP"), QStringLiteral("JMP pin")) {
    lblJMPWarning1_ = new QLabel(QStringLiteral("CAUTION:"), this);
    lblJMPWarning1_->setObjectName(QStringLiteral("lblJMPWarning1"));
    QFont strong = lblJMPWarning1_->font();
    strong.setBold(true);
    lblJMPWarning1_->setFont(strong);
    lblJMPWarning2_ = new QLabel(
        QStringLiteral("In these modes link port pin 5 will become an active low output, i.e. it "
                       "will be pulled to ground during the events given. There is an example "
                       "schematic on the right."),
        this);
    lblJMPWarning2_->setObjectName(QStringLiteral("lblJMPWarning2"));
    lblJMPWarning2_->setWordWrap(true);

    jmpMode_ =
        new RadioChoice([this](int value, bool byUser) { jmpModeChosen(value, byUser); }, this);
    auto* options = new QVBoxLayout;
    options->addWidget(lblJMPWarning1_);
    options->addWidget(lblJMPWarning2_);
    options->addSpacing(8);
    for (int mode = 0; mode < ModeCount; ++mode) {
        const ModeButton& design = ModeButtons[mode];
        auto* button = new QRadioButton(QString::fromUtf8(design.caption), this);
        button->setObjectName(QString::fromLatin1(design.name));
        modes_[std::size_t(mode)] = button;
        jmpMode_->add(button, mode);
        options->addWidget(button);
    }

    edtTempJMPLow_ =
        new LabelledEdit(QStringLiteral("edtTempJMPLow"),
                         QStringLiteral("Lower and upper temperature of the hysteresis"), this,
                         LabelledEdit::LabelPosition::Left);
    edtTempJMPHigh_ = new QLineEdit(this);
    edtTempJMPHigh_->setObjectName(QStringLiteral("edtTempJMPHigh"));
    auto* hysteresis = new QHBoxLayout;
    hysteresis->addWidget(edtTempJMPLow_);
    hysteresis->addWidget(edtTempJMPHigh_);
    hysteresis->addStretch(1);
    edtTempJMPLow_->label()->setWordWrap(true);
    fitForNumber(edtTempJMPLow_->edit());
    fitForNumber(edtTempJMPHigh_);
    options->addSpacing(8);
    options->addLayout(hysteresis);
    options->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(options, 1);
    layout->addWidget(newSchematic(this), 0, Qt::AlignRight | Qt::AlignTop);

    low_ = new FieldEdit(edtTempJMPLow_->edit(),
                         fieldrules::temperature(board(), &ExpertBlock::TempJMPLow), this);
    high_ = new FieldEdit(edtTempJMPHigh_,
                          fieldrules::temperature(board(), &ExpertBlock::TempJMPHigh), this);

    enabling_.add(EnableRule::Connected,
                  {modeButton(ExpertBlock::JMPNone), modeButton(ExpertBlock::JMPCloud),
                   modeButton(ExpertBlock::JMPStorm), modeButton(ExpertBlock::JMPLightning),
                   modeButton(ExpertBlock::JMPTimer), lblJMPWarning1_, lblJMPWarning2_});
    enabling_.add(EnableRule::ConnectedSensor,
                  {modeButton(ExpertBlock::JMPCooler), modeButton(ExpertBlock::JMPHeater),
                   edtTempJMPLow_, edtTempJMPHigh_});
    textsApplied();
}

void JmpView::showExpert() {
    jmpMode_->show(board().expert().JMPMode);
    low_->show();
    high_->show();
}

void JmpView::applyEnabling(const ViewFacts& facts) {
    enabling_.apply(facts);
}

void JmpView::textsApplied() {
    nameLimits(edtTempJMPLow_, edtTempJMPHigh_);
}

void JmpView::jmpModeChosen(int value, bool byUser) {
    if (!byUser)
        return;
    ExpertBlock expert = board().expert();
    expert.JMPMode = std::uint8_t(value);
    board().setExpert(expert);
}

} // namespace kv
