#pragma once

#include <QObject>
#include <QString>

namespace korvel {

// The fourteen options of the program, live. The settings page edits them
// directly and every reader asks at the moment it needs an option, so a change
// takes effect at once, stored or not. Emits changed() after any change.
//
// The two number fields keep their text as well as their value: while the user
// edits, the text may be empty or a lone minus sign, and the store must see
// that text. The value stays the last whole number in range.
class LiveSettings : public QObject {
    Q_OBJECT
public:
    static constexpr int MinNumber = 1;
    static constexpr int MaxNumber = 99;
    static constexpr int ColorRows = 5;

    static constexpr int DefaultTimeEkzSek = 10;
    static constexpr int DefaultNumBil = 3;
    // Windows colour references (00BBGGRR) of rows 1..5.
    static constexpr int DefaultTrueColor = 13303754;
    static constexpr int DefaultWrongColor = 8421631;
    static constexpr int DefaultChoisColor = 13303600;
    static constexpr int DefaultLabelColor = 16772810;
    static constexpr int DefaultDefultColore = 16508074;

    explicit LiveSettings(QObject* parent = nullptr);

    // Exam time limit in minutes, always 1..99.
    int timeEkzSek() const { return timeEkzSek_.value; }
    QString timeEkzSekText() const { return timeEkzSek_.text; }
    void setTimeEkzSek(int minutes);
    // A typed text: refused (false, nothing changes) unless it is digits with
    // at most one leading minus sign; a whole number is brought into 1..99.
    bool setTimeEkzSekText(const QString& text);
    // Leaving the field: an empty text becomes "1".
    void timeEkzSekExit();

    // Tickets drawn for an exam, 1..99, lowered to the open base's ticket count
    // whenever the field's text changes.
    int numBil() const { return numBil_.value; }
    QString numBilText() const { return numBil_.text; }
    void setNumBil(int tickets);
    bool setNumBilText(const QString& text);
    void numBilExit();

    // TicketCount of the open base, 0 while none is open. Setting it does not
    // touch NumBil by itself; the next change of NumBil obeys it.
    int ticketCount() const { return ticketCount_; }
    void setTicketCount(int count);
    // The lowering an exam start does: NumBil := TicketCount when smaller.
    void lowerNumBilToTicketCount();

    // Colours of rows 1..5 (TrueColor, WrongColor, ChoisColor, LabelColor,
    // DefultColore) as Windows colour references 00BBGGRR.
    int color(int row) const;
    void setColor(int row, int colorRef);
    int trueColor() const { return color(1); }
    int wrongColor() const { return color(2); }
    int choisColor() const { return color(3); }
    int labelColor() const { return color(4); }
    int defultColore() const { return color(5); }

    bool soundOn() const { return soundOn_; }
    void setSoundOn(bool on);
    bool pEkzInfo() const { return pEkzInfo_; }
    void setPEkzInfo(bool on);
    bool ekzInfo() const { return ekzInfo_; }
    void setEkzInfo(bool on);
    bool pEkzHelp() const { return pEkzHelp_; }
    void setPEkzHelp(bool on);
    bool timeEkz() const { return timeEkz_; }
    void setTimeEkz(bool on);
    bool tusEkz() const { return tusEkz_; }
    void setTusEkz(bool on);
    bool tusPod() const { return tusPod_; }
    void setTusPod(bool on);

    // The "По умолчанию" actions of the settings page.
    void applyDefaultColors();       // the five default colours
    void applyExamDefaults();        // also clears the preparation shuffle
    void applyPreparationDefaults(); // leaves the preparation shuffle alone
    void applyOtherDefaults();       // sounds on

    // True when text is what a number field lets the user type.
    static bool isNumberFieldText(const QString& text);

signals:
    void changed();

private:
    struct NumberField {
        QString text;
        int value = 0;
    };
    bool putNumberText(NumberField& field, const QString& text);
    void setNumBilFieldText(const QString& text);
    void setFlag(bool& flag, bool on);

    NumberField timeEkzSek_;
    NumberField numBil_;
    int ticketCount_ = 0;
    int colors_[ColorRows] = {};
    bool soundOn_ = true;
    bool pEkzInfo_ = true;
    bool ekzInfo_ = false;
    bool pEkzHelp_ = true;
    bool timeEkz_ = true;
    bool tusEkz_ = false;
    bool tusPod_ = false;
};

} // namespace korvel
