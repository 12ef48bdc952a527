/* zipdemographics skin "Harbour": slate blue surfaces, teal accents.
   A Qt style sheet read by the program's skin engine. Fonts stay as the window sets them. */

QWidget#Form1 {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #eef2f6, stop:1 #dde5ed);
}

QPushButton {
    color: #18324a;
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfcfd, stop:0.5 #edf2f6, stop:1 #d4dee8);
    border: 1px solid #8398ad;
    border-radius: 5px;
    padding: 1px 8px;
}

QPushButton:hover {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:0.5 #e4f3f3, stop:1 #bfe0e1);
    border-color: #2b7f87;
}

QPushButton:pressed {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #b9d6da, stop:1 #d9ebec);
    border-color: #1f6670;
    padding-top: 2px;
}

QPushButton:focus {
    border: 2px solid #2b7f87;
}

QTreeView {
    color: #14263a;
    background-color: #ffffff;
    alternate-background-color: #f3f7fa;
    border: 1px solid #8398ad;
    border-radius: 3px;
    selection-background-color: #2b7f87;
    selection-color: #ffffff;
}

QTreeView::item {
    padding: 1px 3px;
    border: 0px solid transparent;
    color: #14263a;
}

/* The selected row stays visible in a list that has not the focus, in a quieter tone. */
QTreeView::item:selected:active {
    background-color: #2b7f87;
    color: #ffffff;
}

QTreeView::item:selected:!active {
    background-color: #d2e5e7;
    color: #14263a;
}

QTreeView:focus {
    border: 1px solid #2b7f87;
}

QHeaderView {
    background-color: #f3f6f9;
    border: none;
}

QHeaderView::section {
    color: #18324a;
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #f7f9fb, stop:1 #dbe3eb);
    border: none;
    border-right: 1px solid #b6c4d2;
    border-bottom: 1px solid #8398ad;
    padding: 2px 5px;
}

QScrollBar:vertical {
    background: #e6ecf2;
    width: 13px;
    margin: 0;
}

QScrollBar::handle:vertical {
    background: #a9bacb;
    border-radius: 4px;
    min-height: 24px;
    margin: 2px;
}

QScrollBar::handle:vertical:hover {
    background: #2b7f87;
}

QScrollBar:horizontal {
    background: #e6ecf2;
    height: 13px;
    margin: 0;
}

QScrollBar::handle:horizontal {
    background: #a9bacb;
    border-radius: 4px;
    min-width: 24px;
    margin: 2px;
}

QScrollBar::handle:horizontal:hover {
    background: #2b7f87;
}

QScrollBar::add-line, QScrollBar::sub-line {
    width: 0;
    height: 0;
}

QDialog, QMessageBox, QInputDialog, QFileDialog {
    background-color: #eef2f6;
}

QLineEdit {
    background-color: #ffffff;
    border: 1px solid #8398ad;
    border-radius: 3px;
    padding: 2px 4px;
    selection-background-color: #2b7f87;
}

QToolTip {
    color: #14263a;
    background-color: #fff8e1;
    border: 1px solid #c8a24c;
    padding: 3px;
}
