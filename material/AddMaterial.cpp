#include "material/AddMaterial.h"

#include <QCoreApplication>
#include <QIcon>
#include <QListView>
#include <QSignalBlocker>

#include "core/FileDialog.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "frontend/OBSApp.h"
#include "frontend/SourceKinds.h"
#include "material/HotkeyEdit.h"
#include "material/MaterialCheck.h"
#include "shell/Scheme.h"
#include "studio/OrbOBS.h"
#include "ui_AddMaterial.h"

using orbLiveImp::OrbShortcut;
using orbLiveImp::SoureParam;

namespace {

const int kWidth = 370;
const int kHeight = 180;
const int kGroupHeight = 260;

const char* const kIncomplete = QT_TRANSLATE_NOOP("AddMaterial", "配置未完成");
const char* const kWindowTip =
    QT_TRANSLATE_NOOP("AddMaterial", "请保持窗口打开状态，否则将无法正常共享");
// A camera added with no device starts by itself once one is plugged in.
const char* const kNoCameraTip =
    QT_TRANSLATE_NOOP("AddMaterial", "未检测到摄像头，接入后将自动显示");

OBSApp* studioApp() {
    return qobject_cast<OBSApp*>(QCoreApplication::instance());
}

int pageOf(uint8_t kind) {
    switch (kind) {
        case SourceKinds::kImage:
        case SourceKinds::kMedia:
            return 1;
        case SourceKinds::kSlideshow:
            return 2;
        default:
            return 0;
    }
}

bool isDevice(uint8_t kind) {
    return pageOf(kind) == 0;
}

// An editor that shows nothing binds nothing, whatever it held before it was cleared.
OrbShortcut shortcutOf(const HotkeyEdit* edit) {
    return edit->text().isEmpty() ? OrbShortcut() : edit->shortcut();
}

void showShortcut(HotkeyEdit* edit, const OrbShortcut& key) {
    edit->setKey(key.modifiers, key.virtualKey, key.text);
    if (key.text.isEmpty()) {
        edit->clear();
    }
}

void checkQuietly(QAbstractButton* box, bool on) {
    const QSignalBlocker block(box);
    box->setChecked(on);
}

}  // namespace

AddMaterial::AddMaterial(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui_(new Ui::AddMaterial) {
    qRegisterMetaType<uint8_t>("uint8_t");  // lets the kind travel through queued connections
    ui_->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setModal(true);
    setStyleSheet(Scheme::instance().styleSheet(QSS_ADDMATERIAL));
    for (QComboBox* combo : {ui_->comboBox1, ui_->comboBox3}) {
        // A list view takes the style sheet's item colours; the default popup does not.
        combo->setView(new QListView(combo));
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &AddMaterial::comboChanged);
    }
    connect(ui_->shortcut1, &QLineEdit::textChanged, this, &AddMaterial::checkShortcut);
    connect(ui_->shortcut2, &QLineEdit::textChanged, this, &AddMaterial::checkShortcut);
}

AddMaterial::~AddMaterial() {
    // A room torn down with the dialog open must not leave the preview behind.
    removeCameraPreview();
}

void AddMaterial::openForAdd(uint8_t kind) {
    // The room may open the dialog again before it was closed.
    removeCameraPreview();
    if (kind >= Scheme::kMaterialCount) {
        kind = SourceKinds::kCamera;
    }
    param_ = SoureParam();
    param_.type = kind;
    editing_ = false;
    sourceName_.clear();
    showKind(kind, tr("Add"));
    QString icon;
    QString key;
    Scheme::materialInfo(kind, param_.name, icon, key);
    // Every kind takes its type id from here; only devices, screens and windows list choices.
    fillChoices(ui_->comboBox1);
    if (isDevice(kind)) {
        prepareDevicePage(kind != SourceKinds::kCamera);
        if (kind == SourceKinds::kCamera) {
            addCameraPreview();
        }
    } else if (kind == SourceKinds::kSlideshow) {
        prepareGroupPage();
    } else {
        prepareFilePage();
    }
}

bool AddMaterial::openForView(const QString& name) {
    SoureParam read;
    if (!OrbOBS::instance().getSourceProp(name, read)) {
        return false;
    }
    removeCameraPreview();
    param_ = read;
    param_.name = name;
    editing_ = true;
    sourceName_ = name;
    showKind(param_.type, tr("查看"));
    if (isDevice(param_.type)) {
        showDevice();
    } else if (param_.type == SourceKinds::kSlideshow) {
        showGroup();
    } else {
        prepareFilePage();
        ui_->input2->setText(param_.value);
        ui_->input2->setToolTip(param_.value);
        ui_->loop2->setChecked(param_.primaryFlag);
    }
    return true;
}

void AddMaterial::reject() {
    removeCameraPreview();
    QDialog::reject();
}

void AddMaterial::showKind(uint8_t kind, const QString& titlePrefix) {
    QString displayName;
    QString icon;
    QString key;
    Scheme::materialInfo(kind, displayName, icon, key);
    setWindowTitle(titlePrefix + displayName);
    setWindowIcon(QIcon(icon));
    ui_->stackedWidget->setCurrentIndex(pageOf(kind));
    setFixedSize(kWidth, kind == SourceKinds::kSlideshow ? kGroupHeight : kHeight);
}

void AddMaterial::fillChoices(QComboBox* combo) {
    QStringList names;
    QList<QVariant> values;
    OrbOBS::instance().getSourceChoices(param_.type, param_.typeId, names, values);
    const QSignalBlocker block(combo);
    combo->clear();
    for (int i = 0; i < qMin(names.size(), values.size()); ++i) {
        combo->addItem(names.at(i), values.at(i));
    }
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
}

void AddMaterial::prepareDevicePage(bool capture) {
    const bool camera = !capture;
    ui_->tips1->setText(tr(kWindowTip));
    ui_->tips1->setVisible(param_.type == SourceKinds::kWindow);
    ui_->hflip->setText(camera ? tr("HFLIP") : tr("ShowMouse"));
    checkQuietly(ui_->hflip, capture);
    checkQuietly(ui_->vflip, false);
    ui_->vflip->setVisible(camera);
    ui_->set->setVisible(camera);
    ui_->comboBox1->setPlaceholderText(camera ? tr("请选择") : tr("Select"));
}

void AddMaterial::prepareFilePage() {
    const bool picture = param_.type == SourceKinds::kImage;
    ui_->input2->clear();
    ui_->input2->setToolTip(QString());
    ui_->input2->setPlaceholderText(tr("Add") + (picture ? tr("Picture") : tr("Video")));
    ui_->tips2->setText(picture ? tr("支持扩展名 jpg/png/gif")
                                : tr("可用空格暂停/播放，支持 mp4/avi/mkv/flv"));
    ui_->loop2->setChecked(false);
    ui_->loop2->setVisible(!picture);
}

void AddMaterial::prepareGroupPage() {
    ui_->input3->clear();
    ui_->input3->setToolTip(QString());
    {
        const QSignalBlocker block(ui_->comboBox3);
        ui_->comboBox3->setCurrentIndex(0);
    }
    ui_->loop3->setChecked(false);
    enableShortcuts(false);
    const QSignalBlocker block1(ui_->shortcut1);
    const QSignalBlocker block2(ui_->shortcut2);
    ui_->shortcut1->clear();
    ui_->shortcut2->clear();
}

void AddMaterial::showDevice() {
    const bool camera = param_.type == SourceKinds::kCamera;
    prepareDevicePage(!camera);
    fillChoices(ui_->comboBox1);
    checkQuietly(ui_->hflip, param_.primaryFlag);
    checkQuietly(ui_->vflip, camera && param_.secondaryFlag);
    selectChoice(param_.value, param_.value);
}

// A camera is found by its device id. Screens and windows are read back as their display
// names; one that is no longer offered is left unselected, so confirming cannot quietly
// switch the material to another window.
void AddMaterial::selectChoice(const QVariant& data, const QString& text) {
    QComboBox* combo = ui_->comboBox1;
    int index = combo->findData(data, Qt::UserRole, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (param_.type == SourceKinds::kCamera) {
        index = qMax(index, combo->count() > 0 ? 0 : -1);
    } else if (index < 0) {
        index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    }
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(index);
}

void AddMaterial::showGroup() {
    prepareGroupPage();
    ui_->input3->setText(param_.value);
    ui_->input3->setToolTip(param_.value);
    ui_->loop3->setChecked(param_.primaryFlag);
    if (param_.secondaryFlag) {
        return;
    }
    // The stored keys are what the user set; switching the mode is not a reason to replace
    // them with the defaults, so the index moves without telling comboChanged.
    {
        const QSignalBlocker block1(ui_->shortcut1);
        const QSignalBlocker block2(ui_->shortcut2);
        if (param_.hotkeys.size() >= 2) {
            showShortcut(ui_->shortcut1, param_.hotkeys[0]);
            showShortcut(ui_->shortcut2, param_.hotkeys[1]);
        }
    }
    const QSignalBlocker block(ui_->comboBox3);
    ui_->comboBox3->setCurrentIndex(1);
    enableShortcuts(true);
}

void AddMaterial::on_ok_clicked() {
    if (!collect()) {
        warn(tr(kIncomplete));
        return;
    }
    if (!acceptable()) {
        return;
    }
    if (editing_) {
        updateMaterial();
    } else {
        addMaterial();
    }
}

void AddMaterial::on_cancel_clicked() {
    reject();
}

bool AddMaterial::collect() {
    // A viewed camera whose device is unplugged keeps the device it had.
    const QString stored = param_.value;
    param_.value.clear();
    param_.primaryFlag = false;
    param_.secondaryFlag = false;
    param_.hotkeys.clear();
    const int device = ui_->comboBox1->currentIndex();
    switch (param_.type) {
        case SourceKinds::kCamera:
            param_.value = device >= 0 ? ui_->comboBox1->itemData(device).toString() : stored;
            param_.primaryFlag = ui_->hflip->isChecked();
            param_.secondaryFlag = ui_->vflip->isChecked();
            return true;
        case SourceKinds::kMonitor:
        case SourceKinds::kWindow:
            if (device < 0) {
                return false;
            }
            param_.value = ui_->comboBox1->itemText(device);
            param_.primaryFlag = ui_->hflip->isChecked();
            return true;
        case SourceKinds::kImage:
        case SourceKinds::kMedia:
            param_.value = ui_->input2->text();
            param_.primaryFlag = param_.type == SourceKinds::kMedia && ui_->loop2->isChecked();
            return !param_.value.isEmpty();
        default:
            param_.value = ui_->input3->text();
            collectGroup();
            return !param_.value.isEmpty();
    }
}

void AddMaterial::collectGroup() {
    param_.primaryFlag = ui_->loop3->isChecked();
    param_.secondaryFlag = ui_->comboBox3->currentIndex() == 0;
    if (!param_.secondaryFlag) {
        param_.hotkeys = {shortcutOf(ui_->shortcut1), shortcutOf(ui_->shortcut2)};
    }
}

bool AddMaterial::acceptable() {
    QStringList choices;
    if (param_.type == SourceKinds::kMonitor || param_.type == SourceKinds::kWindow) {
        QString typeId;
        QList<QVariant> values;
        OrbOBS::instance().getSourceChoices(param_.type, typeId, choices, values);
    }
    const QString problem = MaterialCheck::problem(param_, choices);
    if (problem.isEmpty()) {
        return true;
    }
    warn(problem);
    if (isDevice(param_.type)) {
        // Offer what is there now, the closed window no longer among it.
        fillChoices(ui_->comboBox1);
    }
    return false;
}

void AddMaterial::addMaterial() {
    QString name;
    if (param_.type == SourceKinds::kCamera && !sourceName_.isEmpty()) {
        // The preview is the material now; nothing is left to take back.
        name = sourceName_;
        sourceName_.clear();
    } else {
        OBSApp* app = studioApp();
        name = app ? app->addSceneItem(param_) : QString();
        if (name.isEmpty()) {
            live::log::warn("{}: the studio refused a material of kind {}",
                            "AddMaterial::on_ok_clicked", param_.type);
            warn(tr("添加素材失败"));
            return;
        }
        if (!param_.hotkeys.empty()) {
            OrbOBS::instance().setSourceHotkeys(name, param_.hotkeys);
        }
    }
    accept();
    emit signalMaterialAdded(name, param_.type);
}

void AddMaterial::updateMaterial() {
    param_.name = sourceName_;
    OrbOBS::instance().updateSource(param_);
    accept();
    emit signalMaterialChanged(sourceName_, param_.type);
}

void AddMaterial::addCameraPreview() {
    const int index = ui_->comboBox1->currentIndex();
    param_.value = index >= 0 ? ui_->comboBox1->itemData(index).toString() : QString();
    param_.primaryFlag = ui_->hflip->isChecked();
    param_.secondaryFlag = ui_->vflip->isChecked();
    if (OBSApp* app = studioApp()) {
        sourceName_ = app->addSceneItem(param_);
    }
    if (index < 0) {
        ui_->tips1->setText(tr(kNoCameraTip));
        ui_->tips1->show();
    }
}

void AddMaterial::removeCameraPreview() {
    if (editing_ || param_.type != SourceKinds::kCamera || sourceName_.isEmpty()) {
        return;
    }
    if (OBSApp* app = studioApp()) {
        app->removeScenceItem(sourceName_, false);
    }
    sourceName_.clear();
}

void AddMaterial::switchCamera() {
    if (!editing_) {
        removeCameraPreview();
        addCameraPreview();
        return;
    }
    SoureParam device;
    device.name = sourceName_;
    device.type = SourceKinds::kCamera;
    device.value = ui_->comboBox1->currentData().toString();
    OrbOBS::instance().updateSource(device);
}

void AddMaterial::comboChanged(int index) {
    auto* combo = qobject_cast<QComboBox*>(sender());
    if (!combo) {
        return;
    }
    if (combo == ui_->comboBox3 && param_.type == SourceKinds::kSlideshow) {
        const bool manual = index != 0;
        enableShortcuts(manual);
        if (manual) {
            setDefaultShortcuts();
        } else {
            const QSignalBlocker block1(ui_->shortcut1);
            const QSignalBlocker block2(ui_->shortcut2);
            ui_->shortcut1->clear();
            ui_->shortcut2->clear();
        }
    } else if (combo == ui_->comboBox1 && param_.type == SourceKinds::kCamera && index >= 0 &&
               !sourceName_.isEmpty()) {
        switchCamera();
    }
}

void AddMaterial::checkShortcut(const QString& text) {
    if (text.isEmpty() || ui_->shortcut1->text() != ui_->shortcut2->text()) {
        return;
    }
    live::MessageBox::warning(this, tr("警告"), tr("上一页、下一页快捷键不能相同，请重新设置\n"));
    setDefaultShortcuts();
}

void AddMaterial::setDefaultShortcuts() {
    // Quietly, or the reset itself would be checked against the key being replaced.
    const QSignalBlocker block1(ui_->shortcut1);
    const QSignalBlocker block2(ui_->shortcut2);
    ui_->shortcut1->pressKey(Qt::Key_Left);
    ui_->shortcut2->pressKey(Qt::Key_Right);
}

void AddMaterial::enableShortcuts(bool on) {
    ui_->shortcut1->setEnabled(on);
    ui_->shortcut2->setEnabled(on);
}

void AddMaterial::on_hflip_stateChanged(int /*arg1*/) {
    if (param_.type == SourceKinds::kCamera && !sourceName_.isEmpty()) {
        OrbOBS::instance().flipSource(sourceName_, false);
    }
}

void AddMaterial::on_vflip_stateChanged(int /*arg1*/) {
    if (param_.type == SourceKinds::kCamera && !sourceName_.isEmpty()) {
        OrbOBS::instance().flipSource(sourceName_, true);
    }
}

void AddMaterial::on_browse2_clicked() {
    // Qt separates the patterns of one filter with blanks; semicolons would match nothing.
    const bool picture = param_.type == SourceKinds::kImage;
    const QString caption = tr("Select") + (picture ? tr("Picture") : tr("Video"));
    const QString filter = picture ? tr("Picture") + " (*.jpg *.jpeg *.png *.tga *.bmp *.gif)"
                                   : tr("Video") + " (*.mp4 *.avi *.mkv *.flv)";
    const QString path = live::FileDialog::getOpenFileName(this, caption, QString(), filter);
    if (!path.isEmpty()) {
        ui_->input2->setText(path);
        ui_->input2->setToolTip(path);
    }
}

void AddMaterial::on_browse3_clicked() {
    const QString path = live::FileDialog::getExistingDirectory(this, tr("Select") + tr("Folder"));
    if (!path.isEmpty()) {
        ui_->input3->setText(path);
        ui_->input3->setToolTip(path);
    }
}

void AddMaterial::on_set_clicked() {
    switch (OrbOBS::instance().openDeviceSettings(sourceName_)) {
        case OrbOBS::kDeviceSettingsNoSource:
            warn(tr("无法找到指定相机，名称: %1").arg(sourceName_));
            break;
        case OrbOBS::kDeviceSettingsNone:
            warn(tr("无法获取相机高级配置，素材名称: %1").arg(sourceName_));
            break;
        default:
            break;
    }
}

void AddMaterial::warn(const QString& text) {
    live::MessageBox::warning(this, tr("Warning"), text, QMessageBox::Ok);
}
