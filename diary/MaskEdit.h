#pragma once

#include <QLineEdit>

// An edit with a mask of the form "!99/99/0000;1;_": digits where the mask says, the user's date
// separator in the separator places, underscores for empty positions while editing.
class TMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TMaskEdit(QWidget* parent = nullptr);

    void SetEditMask(const QString& mask);
    QString EditMask() const;

    // The text as the field hands it over: typed digits, separators, a blank for every untyped position.
    QString Text() const;
};
