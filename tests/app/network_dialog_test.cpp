// The network dialog as a person uses it: entries typed, OK, Cancel and the close box pressed, the
// message boxes read and dismissed.
#include "app/network_dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "manual_clock.h"

namespace velmora::app {
namespace {

// The messages the dialog reports, in place of its message boxes.
class MessageBoxes {
 public:
  void Watch(TOKRightDlg& dialog) {
    dialog.ShowMessage = [this](const QString& text) { texts_.push_back(text.toStdString()); };
  }
  const std::vector<std::string>& Texts() const { return texts_; }

 private:
  std::vector<std::string> texts_;
};

enum class Press { kOk, kCancel, kCloseBox };

// Opens the dialog on `network`, types the entries, presses `press`, then, when the dialog is still
// open, fixes the entries and presses OK.
int EditWith(TNetwork& network, const QString& ip, const QString& port, Press press, bool& stayed_open,
             MessageBoxes& boxes) {
  TOKRightDlg dialog;
  boxes.Watch(dialog);
  stayed_open = false;
  QTimer::singleShot(50, &dialog, [&] {
    dialog.LabeledEdit1->clear();
    QTest::keyClicks(dialog.LabeledEdit1, ip);
    dialog.LabeledEdit2->clear();
    QTest::keyClicks(dialog.LabeledEdit2, port);
    switch (press) {
      case Press::kOk:
        dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        break;
      case Press::kCancel:
        dialog.findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
        break;
      case Press::kCloseBox:
        dialog.close();
        break;
    }
    QTimer::singleShot(200, &dialog, [&] {
      if (dialog.isVisible()) {
        stayed_open = true;
        dialog.LabeledEdit1->setText(QStringLiteral("10.0.0.1"));
        dialog.LabeledEdit2->setText(QStringLiteral("7000"));
        dialog.findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
      }
    });
  });
  return dialog.Edit(network);
}

class NetworkDialogTest : public ::testing::Test {
 protected:
  NetworkDialogTest() {
    game.FNetwork.FIP = "192.168.1.2";
    game.FNetwork.FPort = 6000;
  }
  test::ManualClock clock;
  TGame game{nullptr, clock};
};

TEST_F(NetworkDialogTest, OkStoresGoodEntriesAndCancelKeepsTheOldOnes) {
  MessageBoxes boxes;
  bool stayed_open = false;
  EXPECT_EQ(EditWith(game.FNetwork, "10.1.2.3", "6001", Press::kOk, stayed_open, boxes), QDialog::Accepted);
  EXPECT_FALSE(stayed_open);
  EXPECT_EQ(game.FNetwork.FIP, "10.1.2.3");
  EXPECT_EQ(game.FNetwork.FPort, 6001U);
  EXPECT_EQ(EditWith(game.FNetwork, "192.168.1.2", "6000", Press::kCancel, stayed_open, boxes),
            QDialog::Rejected);
  EXPECT_EQ(game.FNetwork.FIP, "10.1.2.3");
  EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(NetworkDialogTest, BadEntriesShowTheirMessageAndKeepTheDialogOpen) {
  const struct {
    const char* ip;
    const char* port;
    Press press;
    const char* message;
  } cases[] = {
      {"192.168.1.256", "6000", Press::kOk, "IP Address  is not valid"},
      {"192.168.1", "6000", Press::kOk, "IP Address  is not valid"},
      {"", "6000", Press::kOk, "IP Address  is not valid"},
      {"192.168.1.2", "0", Press::kOk, "Port is not valid (1->65535)"},
      {"192.168.1.2", "65536", Press::kOk, "Port is not valid (1->65535)"},
      {"192.168.1.2", "", Press::kOk, "Port is not valid (1->65535)"},
      {"1.2.3", "6000", Press::kCancel, "IP Address  is not valid"},
      {"1.2.3.4", "", Press::kCloseBox, "Port is not valid (1->65535)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.ip) + " / " + c.port);
    MessageBoxes boxes;
    bool stayed_open = false;
    EditWith(game.FNetwork, c.ip, c.port, c.press, stayed_open, boxes);
    EXPECT_TRUE(stayed_open);
    ASSERT_FALSE(boxes.Texts().empty());
    EXPECT_EQ(boxes.Texts().front(), c.message);
  }
}

TEST_F(NetworkDialogTest, TheAddressTakesOnlyDigitsAndDots) {
  TOKRightDlg dialog;
  dialog.show();
  QTest::keyClicks(dialog.LabeledEdit1, QStringLiteral("1x.2 3,4.a5"));
  EXPECT_EQ(dialog.LabeledEdit1->text(), QStringLiteral("1.234.5"));
  QTest::keyClicks(dialog.LabeledEdit2, QStringLiteral("6a00001"));
  EXPECT_EQ(dialog.LabeledEdit2->text(), QStringLiteral("60000"));
  dialog.hide();
}

}  // namespace
}  // namespace velmora::app
