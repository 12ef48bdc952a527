#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

class QWidget;

namespace zd {

// The program's skin engine. A skin file is a Qt style sheet. The engine is driven
// through numbered members, the way start-up drives it:
//   method 2 (path, scheme)  loads a skin file; the scheme must be empty (the default)
//   property 1               option bits; bit 0 skins the window's controls too
//   property 5               the skin also reaches the program's dialogs and boxes
//   property 10              the skin's scroll bar rules take part
//   method 3 (window handle) applies the loaded skin to that window
// Every call is recorded, so the order of calls can be checked.
class SkinFramework : public QObject {
    Q_OBJECT
public:
    enum Member : int {
        kOptionsProperty = 1,
        kLoadSkinMethod = 2,
        kApplyWindowMethod = 3,
        kApplicationWideProperty = 5,
        kScrollBarsProperty = 10,
    };
    enum Option : int { kOptionSkinControls = 1 };

    explicit SkinFramework(QObject* parent = nullptr);

    // The automation interface. An unknown member or a bad argument fails with AppError.
    QVariant invoke(int member, const QVariantList& arguments);
    QVariant propertyGet(int member);
    void propertyPut(int member, const QVariant& value);

    // "invoke 2 (...)", "get 1 -> 0", "put 5 = true", ... in call order.
    const QStringList& callLog() const { return m_callLog; }
    bool isLoaded() const { return m_loaded; }
    // The style sheet that method 3 gives a window under the current settings.
    QString windowStyleSheet(const QString& windowName) const;

private:
    struct Rule {
        QString selector;
        QString body;
    };

    void loadSkin(const QVariantList& arguments);
    void applyToWindow(const QVariantList& arguments);
    static QList<Rule> parseRules(const QString& sheet);
    static QString joinRules(const QList<Rule>& rules);
    bool takesPart(const Rule& rule, const QString& windowName) const;
    static QString describe(const QVariant& value);

    QList<Rule> m_rules;
    bool m_loaded = false;
    int m_options = 0;
    bool m_applicationWide = false;
    bool m_scrollBars = false;
    QStringList m_callLog;
};

}  // namespace zd
