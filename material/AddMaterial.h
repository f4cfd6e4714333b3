#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <memory>

#include "frontend/SoureParam.h"

class HotkeyEdit;
class QComboBox;

namespace Ui {
class AddMaterial;
}

// Puts a camera, a screen, a window, a picture, a video or a picture group into the
// current scene, or shows one already there and applies what the user changes. The room
// keeps one and opens it again for every material.
class AddMaterial : public QDialog {
    Q_OBJECT
public:
    explicit AddMaterial(QWidget* parent = nullptr);
    ~AddMaterial() override;

    // Prepares a new material of `kind` (anything above the six counts as a camera); the
    // caller shows the dialog. A camera goes into the scene at once, so the user sees it
    // while choosing; cancelling or closing takes it out again.
    void openForAdd(uint8_t kind);
    // Prepares to show and change the named material; false, and the dialog untouched,
    // when the studio cannot read it.
    bool openForView(const QString& name);

    bool editing() const { return editing_; }
    // The camera preview while adding, the viewed material while viewing.
    QString sourceName() const { return sourceName_; }
    const orbLiveImp::SoureParam& param() const { return param_; }

    // Cancelling or closing while adding removes the camera preview.
    void reject() override;

signals:
    // A confirmed new material is in the current scene under `name`.
    void signalMaterialAdded(const QString& name, uint8_t type);
    // The viewed material took the dialog's settings.
    void signalMaterialChanged(const QString& name, uint8_t type);

public slots:
    void on_ok_clicked();
    void on_cancel_clicked();
    void on_browse2_clicked();
    void on_browse3_clicked();
    void on_set_clicked();
    void on_hflip_stateChanged(int arg1);
    void on_vflip_stateChanged(int arg1);
    void comboChanged(int index);
    void checkShortcut(const QString& text);

private:
    void showKind(uint8_t kind, const QString& titlePrefix);
    void fillChoices(QComboBox* combo);
    void prepareDevicePage(bool checked);
    void prepareFilePage();
    void prepareGroupPage();
    void showDevice();
    void showGroup();
    void selectChoice(const QVariant& data, const QString& text);

    // Reads the page into `param_`; false when the input is incomplete.
    bool collect();
    void collectGroup();
    bool acceptable();
    void addMaterial();
    void updateMaterial();

    void addCameraPreview();
    void removeCameraPreview();
    void switchCamera();

    void setDefaultShortcuts();
    void enableShortcuts(bool on);
    void warn(const QString& text);

    std::unique_ptr<Ui::AddMaterial> ui_;
    orbLiveImp::SoureParam param_;
    bool editing_ = false;
    QString sourceName_;
};
