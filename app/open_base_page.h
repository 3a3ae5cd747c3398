#pragma once

#include <QFrame>
#include <QList>
#include <QUrl>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

namespace korvel {

class LinkLabel;

// The base list page OpenBasePanel: the links of "Интернет", the base
// buttons in the scroll box, the open base's picture and description.
class OpenBasePage final : public QFrame {
    Q_OBJECT
public:
    static constexpr int ButtonLeft = 8;
    static constexpr int ButtonWidth = 209;
    static constexpr int ButtonHeight = 17;

    explicit OpenBasePage(QWidget* parent = nullptr);

    // Base buttons: "ButtonOfBase<n>", n from 1, top 10 + 30 (n - 1), the
    // archive's file name as tool tip. Released when made.
    QPushButton* addBaseButton(const QString& caption, const QString& archiveName);
    // Destroys ButtonOfBase1, 2, ... up to the first missing number.
    void removeBaseButtons();
    QPushButton* baseButton(int number) const;
    // The first pressed one among ButtonOfBase1, 2, ..., nullptr when none.
    QPushButton* pressedBaseButton() const;
    // Presses the button of that archive (none: releases all).
    void pressBaseButton(const QString& archiveName);
    void scrollToTop();

    QLabel* picture() const { return image3_; }
    QPlainTextEdit* description() const { return descript_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* exitButton() const { return exit_; }
    QPushButton* refreshButton() const { return changeBase_; }
    const QList<LinkLabel*>& links() const { return links_; }

signals:
    void baseButtonClicked();
    void baseButtonEntered();
    void linkActivated(const QUrl& address);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool stepBase(int key);
    void addLink(QWidget* group, const QString& name, int left, int top, int width,
                 const QString& caption, const QUrl& address, const QString& picture);

    QScrollArea* scrollBox_ = nullptr;
    QWidget* scrollContent_ = nullptr;
    QPushButton* sampleButton_ = nullptr;
    QButtonGroup* radioGroup_ = nullptr;
    QLabel* image3_ = nullptr;
    QPlainTextEdit* descript_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* exit_ = nullptr;
    QPushButton* changeBase_ = nullptr;
    QList<LinkLabel*> links_;
};

} // namespace korvel
