#include "../../station/SessionFixture.h"

#include "app/ui/LoginDialog.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace zep;
using namespace zep::test;

TEST(Login, PasswordIsCaseSensitiveAndAWrongOneMayBeRetried)
{
    ScriptedPrompts prompts;
    LoginDialog login(nullptr, prompts, "Geheim");
    login.show();
    login.passwordField()->setText("geheim");
    login.pressOk();
    EXPECT_FALSE(login.succeeded());
    EXPECT_TRUE(login.isVisible());
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].text, "Ungültiges Passwort. Bitte versuchen Sie es noch einmal!");
    EXPECT_EQ(prompts.asked()[0].title, "Passwort ungültig");
    EXPECT_EQ(login.passwordField()->selectedText(), "geheim");

    login.passwordField()->setText("Geheim");
    login.pressOk();
    EXPECT_TRUE(login.succeeded());
    EXPECT_FALSE(login.isVisible());
}

TEST(Login, CancelDeniesWithoutAMessage)
{
    ScriptedPrompts prompts;
    LoginDialog login(nullptr, prompts, "Geheim");
    login.show();
    login.pressCancel();
    EXPECT_FALSE(login.succeeded());
    EXPECT_TRUE(prompts.asked().isEmpty());
}
