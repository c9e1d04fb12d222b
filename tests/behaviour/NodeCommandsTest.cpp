#include <gtest/gtest.h>

#include "core/ShellQuote.hpp"
#include "core/TextFile.hpp"
#include "settings/NodeCommands.hpp"

namespace pd::test {

namespace {
NodeCommandFields windowsFields() {
    NodeCommandFields f;
    f.qtFolder = "C:\\Program Files\\Bitcoin";
    f.qtName = "bitcoin-qt.exe";
    f.daemonFolder = "C:\\Program Files\\Bitcoin\\Daemon";
    f.daemonName = "bitcoind.exe";
    f.cliName = "bitcoin-cli.exe";
    f.chainFolder = "D:\\BTC-CHAIN";
    f.conf = "C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTC-CRYPTO-CONFIG.conf";
    f.home = "C:\\SYNCWARD-ROOT\\PACEDECK";
    f.exe = "BTC";
    return f;
}
}  // namespace

TEST(NodeCommands, ValuesThatNeedNoQuotingStandAsTyped) {
    auto f = windowsFields();
    f.daemonOption = "-disablewallet=1";
    f.cliOption = "-daemon=1";
    auto c = buildNodeCommands(windowsProfile(), f);
    EXPECT_EQ(c.daemon,
              "call \"C:\\Program Files\\Bitcoin\\Daemon\\bitcoind.exe\" "
              "-conf=C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTC-CRYPTO-CONFIG.conf -datadir=D:\\BTC-CHAIN "
              "-disablewallet=1");
    EXPECT_EQ(c.cliStop,
              "call \"C:\\Program Files\\Bitcoin\\Daemon\\bitcoin-cli.exe\" "
              "-conf=C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTC-CRYPTO-CONFIG.conf -datadir=D:\\BTC-CHAIN "
              "-daemon=1 stop");
    // Empty option: the qt command ends in its space.
    EXPECT_TRUE(c.qt.ends_with("-datadir=D:\\BTC-CHAIN "));

    NodeCommandFields p;
    p.qtFolder = "/opt/coin";
    p.qtName = "coin-qt";
    p.chainFolder = "/srv/chäin";
    p.conf = "/etc/coin.conf";
    p.qtOption = "-disablewallet=0";
    EXPECT_EQ(buildNodeCommands(posixProfile("/home/me"), p).qt,
              "exec \"/opt/coin/coin-qt\" -conf=/etc/coin.conf -datadir=/srv/chäin -disablewallet=0");
}

TEST(NodeCommands, TheCliCommandsNameTheNodesDataFolderWhereItsCookieIs) {
    // A conf with rpcauth only has no password for the cli: the node's cookie is in its data
    // folder.
    NodeCommandFields f;
    f.daemonFolder = "/usr/bin";
    f.cliName = "litecoin-cli";
    f.conf = "/c.conf";
    for (const std::string chain : {"/my chain", ""}) {
        f.chainFolder = chain;
        const auto c = buildNodeCommands(posixProfile("/h"), f);
        const std::string cli = "exec \"/usr/bin/litecoin-cli\" -conf=/c.conf" +
                                std::string(chain.empty() ? "" : " '-datadir=/my chain'");
        for (const auto& [command, ending] :
             std::initializer_list<std::pair<std::string, std::string>>{{c.cliStop, "  stop"},
                                                                        {c.chainInfo, " getblockchaininfo"},
                                                                        {c.peerCount, " getconnectioncount"}})
            EXPECT_EQ(command, cli + ending);
        EXPECT_TRUE(c.blockcount.starts_with(cli + " getblockcount > ")) << c.blockcount;
    }
}

TEST(NodeCommands, CmdQuotingKeepsEveryValueWhole) {
    auto f = windowsFields();
    f.chainFolder = "D:\\My Chain";
    f.conf = "C:\\100% sure\\a&b (x).conf";
    f.home = "C:\\Home, Sweet=Home";
    auto c = buildNodeCommands(windowsProfile(), f);
    EXPECT_EQ(c.qt,
              "call \"C:\\Program Files\\Bitcoin\\bitcoin-qt.exe\" \"-conf=C:\\100%%%% sure\\a&b (x).conf\" "
              "\"-datadir=D:\\My Chain\" ");
    EXPECT_TRUE(c.blockcount.ends_with(
        " getblockcount > \"C:\\Home, Sweet=Home\\BLOCKCOUNTS\\BTC-LATEST-BLOCKCOUNT.LOG\""));

    const auto cmd = ShellKind::Cmd;
    // A quote inside is doubled; backslashes before a quote or before the closing quote double.
    EXPECT_EQ(scriptLineWord(cmd, "-datadir=D:\\say \"hi\"\\"), "\"-datadir=D:\\say \"\"hi\"\"\\\\\"");
    EXPECT_EQ(scriptLineWord(cmd, "a\\\"b"), "\"a\\\\\"\"b\"");
    EXPECT_EQ(scriptLineWord(cmd, "-datadir=D:\\a b\\"), "\"-datadir=D:\\a b\\\\\"");
    // A caret goes between the quotes, where `call` does not double it.
    EXPECT_EQ(scriptLineWord(cmd, "-conf=x^y"), "\"-conf=x\"^^\"y\"");
    EXPECT_EQ(scriptLineWord(cmd, "-conf=C:\\dir\\^y"), "\"-conf=C:\\dir\\\\\"^^\"y\"");
    EXPECT_EQ(scriptLineWord(cmd, "a|b<c>d"), "\"a|b<c>d\"");
    EXPECT_EQ(scriptLineWord(cmd, "-conf=C:\\plain!\\x.conf"), "-conf=C:\\plain!\\x.conf");
    EXPECT_EQ(scriptLineProgram(cmd, "C:\\50% off\\q.exe"), "\"C:\\50%%%% off\\q.exe\"");
    EXPECT_EQ(scriptLineRedirectTarget(cmd, "C:\\a%b\\x.log"), "\"C:\\a%%b\\x.log\"");
    EXPECT_EQ(scriptLineRedirectTarget(cmd, "C:\\plain\\x.log"), "C:\\plain\\x.log");
    // A command line cmd runs itself: no "%" between quotes, where nothing could stop its expansion,
    // and a caret as it is, for no `call` reads the line again. (Under Wine: CmdLinesTest.)
    EXPECT_EQ(commandLineProgram(cmd, "C:\\50% off\\%PATH%\\q.bat"),
              "\"C:\\50\"%\" off\\\"%\"PATH\"%\"\\q.bat\"");
    EXPECT_EQ(commandLineWord(cmd, "C:\\a^b\\%x\\"), "\"C:\\a^b\\\\\"%\"x\\\\\"");
    EXPECT_EQ(commandLineWord(cmd, "C:\\plain!\\x.log"), "C:\\plain!\\x.log");
    EXPECT_EQ(windowsProfile().editorCommandFor("C:\\PD\\R.LOG"), "notepad.exe C:\\PD\\R.LOG");
    EXPECT_EQ(windowsProfile().editorCommandFor("C:\\a&b (1)\\R.LOG"), "notepad.exe \"C:\\a&b (1)\\R.LOG\"");
}

TEST(NodeCommands, ShQuotingKeepsEveryValueWhole) {
    const auto sh = ShellKind::PosixSh;
    EXPECT_EQ(scriptLineWord(sh, "-datadir=/a b"), "'-datadir=/a b'");
    EXPECT_EQ(scriptLineWord(sh, "-conf=/it's/$HOME/`id`"), "'-conf=/it'\\''s/$HOME/`id`'");
    EXPECT_EQ(scriptLineWord(sh, "~user"), "'~user'");
    EXPECT_EQ(scriptLineWord(sh, "#x"), "'#x'");
    EXPECT_EQ(scriptLineWord(sh, "-datadir=/srv/中文/é"), "-datadir=/srv/中文/é");
    EXPECT_EQ(scriptLineWord(sh, ""), "''");
    EXPECT_EQ(scriptLineProgram(sh, "/opt/my coin/qt"), "\"/opt/my coin/qt\"");
    EXPECT_EQ(scriptLineProgram(sh, "/opt/$x/\"q\""), "'/opt/$x/\"q\"'");
    EXPECT_EQ(scriptLineRedirectTarget(sh, "/h/*/x.log"), "'/h/*/x.log'");

    // Read back as /bin/sh reads them, the words are the values again.
    const std::vector<std::string> words = {
        "/opt/my coin/qt", "-conf=/it's/$HOME/`id`", "-datadir=/a b", "", "-x=\"q\"\\", "#x", "plain"};
    std::string line = "exec " + scriptLineProgram(sh, words[0]);
    for (std::size_t i = 1; i < words.size(); ++i) line += " " + scriptLineWord(sh, words[i]);
    auto read = posixShellWords(line + " > /h/x.log");
    ASSERT_FALSE(read.empty());
    EXPECT_EQ(read.front(), "exec");
    EXPECT_EQ(std::vector<std::string>(read.begin() + 1, read.end()), words);
    EXPECT_EQ(posixShellWords("exec \"/a/\\$b\\\\\" 'c'\\ d\te;f"),
              (std::vector<std::string>{"exec", "/a/$b\\", "c d", "e"}));
}

TEST(NodeCommands, Windows1252KeepsWesternLettersAndMarksTheRest) {
    EXPECT_EQ(windows1252FromUtf8("plain"), "plain");
    EXPECT_EQ(windows1252FromUtf8("é€Ÿ"), "\xE9\x80\x9F");
    EXPECT_EQ(windows1252FromUtf8("中😀x"), "??x");
    EXPECT_EQ(windows1252FromUtf8("a\xFF\xC3"), "a??");  // not UTF-8
    EXPECT_EQ(windows1252FromUtf8("\xC0\xAF"), "??");    // overlong
    EXPECT_EQ(textFileBytes(posixProfile("/h"), "中\n"), "中\n");
}

TEST(NodeCommands, StrictWindows1252RefusesWhatItCannotHoldAndNamesIt) {
    struct Case {
        std::string_view text;
        std::string_view bytes;    // when written
        std::string_view refused;  // the character named when refused
    };
    for (const auto& c :
         {Case{"é€Ÿ \r\n", "\xE9\x80\x9F \r\n", ""}, Case{"a中b", "", "中"}, Case{"x😀", "", "😀"},
          Case{"a\xFF"
               "b",
               "", "\xFF"}}) {
        std::string bytes = "old";
        auto outcome = windows1252Text(c.text, bytes);
        EXPECT_EQ(outcome.ok, c.refused.empty()) << c.text;
        EXPECT_EQ(bytes, c.bytes) << c.text;
        if (!c.refused.empty()) {
            EXPECT_NE(outcome.error.find("\"" + std::string(c.refused) + "\""), std::string::npos)
                << outcome.error;
        }
    }
}

}  // namespace pd::test
