#include "settings/LiveSet.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <iterator>

#include "core/DialogSeam.h"
#include "core/FileDialog.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "shell/Scheme.h"
#include "studio/OrbOBS.h"
#include "ui_LiveSet.h"

namespace {

// The server variant that has no recording.
constexpr uint8_t kServerWithoutRecording = 2;
constexpr int kRecordTab = 2;
// Each tab's label fills the tab the style sheet draws.
constexpr QSize kTabLabelSize(80, 36);

// Nothing pending: every number 0 and every text empty.
LiveSettings unchanged() {
    LiveSettings record;
    record.width = 0;
    record.height = 0;
    record.bitrate = 0;
    record.fps = 0;
    return record;
}

QString refusal(LiveSettingsResult result) {
    switch (result) {
        case kLiveSettingsBadRecordFolder:
            return QCoreApplication::translate(
                "LiveSet", "录制保存地址不存在或无法写入，请重新选择保存地址。");
        case kLiveSettingsOutputsActive:
            return QCoreApplication::translate(
                "LiveSet",
                "正在直播或录制，不能修改分辨率、码率和帧率。请先结束直播和录制，再修改视频设置。");
        default:
            return QCoreApplication::translate("LiveSet", "直播设置未能保存，请稍后再试。");
    }
}

}  // namespace

LiveSet::LiveSet(QWidget* parent, QWidget* console, uint8_t serverType)
    : QDialog(parent), ui_(std::make_unique<Ui::LiveSet>()), pending_(unchanged()) {
    ui_->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(Scheme::instance().styleSheet(QSS_LIVESET));
    labelTabs(serverType);
    LiveSetChoices::tagWithLeadingText(ui_->resolution);
    LiveSetChoices::tagWithLeadingText(ui_->bitrate);
    tagControls();
    load();
    tieToConsole(console);
}

LiveSet::~LiveSet() = default;

int LiveSet::openFor(QWidget* parent, QWidget* console, uint8_t serverType) {
    LiveSet dialog(parent, console, serverType);
    return live::DialogSeam::exec(&dialog);
}

LiveSetChoices::Boxes LiveSet::boxes() const {
    return {ui_->resolution, ui_->bitrate, ui_->fps,
            ui_->microphone, ui_->speaker, ui_->record_format};
}

// Centred labels in place of the tab texts, which the tab bar would draw off centre.
void LiveSet::labelTabs(uint8_t serverType) {
    QTabBar* bar = ui_->tabWidget->tabBar();
    for (int i = 0; i < ui_->tabWidget->count(); ++i) {
        auto* label = new QLabel(ui_->tabWidget->tabText(i), bar);
        label->setAlignment(Qt::AlignCenter);
        label->setFixedSize(kTabLabelSize);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        ui_->tabWidget->setTabText(i, QString());
        bar->setTabButton(i, QTabBar::LeftSide, label);
    }
    if (serverType == kServerWithoutRecording) {
        ui_->tabWidget->setTabVisible(kRecordTab, false);
    }
}

void LiveSet::tagControls() {
    QPushButton* const buttons[] = {ui_->close,     ui_->confirm,  ui_->cancel,     ui_->browse,
                                    ui_->copy_addr, ui_->copy_key, ui_->regain_addr};
    for (uint i = 0; i < std::size(buttons); ++i) {
        buttons[i]->setProperty(tag_, i);
        connect(buttons[i], &QPushButton::clicked, this, &LiveSet::onClicked);
    }
    const LiveSetChoices::Boxes all = boxes();
    for (uint i = 0; i < all.size(); ++i) {
        all[i]->setProperty(tag_, i);
        connect(all[i], QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &LiveSet::comboChanged);
    }
    connect(ui_->volume_mic, &QSlider::valueChanged, this, &LiveSet::sliderChanged);
    connect(ui_->volume_speaker, &QSlider::valueChanged, this, &LiveSet::sliderChanged);
}

void LiveSet::load() {
    const LiveSetChoices::Boxes all = boxes();
    for (QComboBox* box : all) {
        box->blockSignals(true);
    }
    QList<AudioDeviceEntry> inputs;
    QList<AudioDeviceEntry> outputs;
    OrbOBS& studio = OrbOBS::instance();
    studio.getAudioDevices(inputs, outputs);
    LiveSetChoices::fillDevices(ui_->microphone, inputs);
    LiveSetChoices::fillDevices(ui_->speaker, outputs);
    studio.getLiveSettings(current_);
    changed_ = LiveSetChoices::select(all, current_, pending_);
    ui_->record_dir->setText(current_.recordPath);
    ui_->stream_addr->setText(current_.server);
    ui_->stream_key->setText(current_.key);
    for (QComboBox* box : all) {
        box->blockSignals(false);
    }
}

// The console's speaker slider is "slider_speaker", its microphone slider "slider_volume".
void LiveSet::tieToConsole(QWidget* console) {
    auto* speaker = console ? console->findChild<QSlider*>("slider_speaker") : nullptr;
    auto* microphone = console ? console->findChild<QSlider*>("slider_volume") : nullptr;
    const std::pair<QSlider*, QSlider*> pairs[] = {{ui_->volume_mic, microphone},
                                                   {ui_->volume_speaker, speaker}};
    for (const auto& [mine, theirs] : pairs) {
        if (!theirs) {
            // Without a console nothing would carry the value to the studio.
            mine->setEnabled(false);
            continue;
        }
        mine->setValue(theirs->value());
        // Both ways; setValue emits only on a real change, so the two settle at once.
        connect(mine, &QSlider::valueChanged, theirs, &QSlider::setValue);
        connect(theirs, &QSlider::valueChanged, mine, &QSlider::setValue);
    }
}

void LiveSet::onClicked(bool) {
    if (!sender()) {
        return;
    }
    switch (sender()->property(tag_).toUInt()) {
        case kClose:
        case kCancel:
            reject();
            break;
        case kConfirm:
            confirm();
            break;
        case kBrowse:
            browse();
            break;
        case kCopyAddress:
            QApplication::clipboard()->setText(ui_->stream_addr->text());
            break;
        case kCopyKey:
            QApplication::clipboard()->setText(ui_->stream_key->text());
            break;
        case kRegainAddress:
            ui_->stream_addr->setText(current_.server);
            ui_->stream_key->setText(current_.key);
            break;
        default:
            break;
    }
}

void LiveSet::confirm() {
    if (!changed_) {
        reject();
        return;
    }
    const LiveSettingsResult result = OrbOBS::instance().setLiveSettings(pending_);
    if (result == kLiveSettingsApplied) {
        accept();
        return;
    }
    // Nothing was saved; the dialog stays open so the user can correct the choice.
    live::log::warn("{}: settings refused, result {}", "LiveSet::confirm", int(result));
    live::MessageBox::warning(this, tr("提示"), refusal(result));
}

void LiveSet::browse() {
    const QString dir = live::FileDialog::getExistingDirectory(this, tr("Select") + tr("Folder"),
                                                               current_.recordPath);
    if (dir.isEmpty()) {
        return;
    }
    ui_->record_dir->setText(dir);
    if (dir != current_.recordPath) {
        pending_.recordPath = dir;
        changed_ = true;
    }
}

void LiveSet::comboChanged(int) {
    auto* box = qobject_cast<QComboBox*>(sender());
    if (!box) {
        return;
    }
    changed_ = true;
    LiveSetChoices::take(uint8_t(box->property(tag_).toUInt()), box, current_, pending_);
}

void LiveSet::sliderChanged(int value) {
    if (sender() == ui_->volume_mic) {
        pending_.microphone.flag = value;
    } else if (sender() == ui_->volume_speaker) {
        pending_.desktop.flag = value;
    }
}

void LiveSet::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragOffset_ = event->globalPos() - pos();
    }
    QDialog::mousePressEvent(event);
}

void LiveSet::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPos() - dragOffset_);
    }
    QDialog::mouseMoveEvent(event);
}

void LiveSet::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
    }
    QDialog::mouseReleaseEvent(event);
}
