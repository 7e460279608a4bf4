#include "generate_fixture.h"

#include "support/manifest_round_trip.h"

namespace zpak::test {

void GenerateFixture::SetUp()
{
    game = dir / "Vantor";
    dir.Write("Vantor/System/Frontier.pkg", "package bytes");
    dir.Write("Vantor/Maps/FR-Canyon.map", std::string(50000, 'c'));
    dir.Write("Vantor/System/FrontierDefault.ini", "[Frontier]\r\nSpeed=2\r\n");
    dir.Write("Vantor/Help/Frontier/Readme.txt", "Read me.");
    dir.Write("Vantor/System/Manifest.ini", "game manifest");

    doc.gameFolder = game.string();
    doc.product = std::make_unique<ProductData>();
    ProductData& p = *doc.product;
    p.product = "Frontier";
    p.version = "1.2";
    p.developer = "Ace Team";
    p.readme = "Help\\Frontier\\Readme.txt";
    p.shortcut = "-log";
    p.shortcutCaption = "Play Frontier";
    p.windows = 1;
    p.linux = 1;

    auto& vantor = *doc.requirements.emplace_back(std::make_unique<RequirementInfo>());
    vantor.product = "Vantor";
    vantor.version = "1100";
    for (auto* text : {&vantor.developer, &vantor.productURL, &vantor.versionURL, &vantor.developerURL})
        *text = "";

    auto& core = *doc.groups.emplace_back(std::make_unique<GroupInfo>("Core"));
    core.Required = 1;
    core.Selected = 1;
    core.AddFile("System\\Frontier.pkg");
    auto& maps = *doc.groups.emplace_back(std::make_unique<GroupInfo>("Maps"));
    maps.Visible = maps.Selected = maps.Selectable = 1;
    maps.caption = "Frontier maps";
    maps.description = "Two new maps";
    maps.AddFile("Maps\\FR-Canyon.map");
    maps.AddFile("System\\FrontierDefault.ini").src = "System\\Frontier.ini";

    doc.iniFiles.emplace_back(std::make_unique<INIGroup>("Player.ini"))
        ->AddEntry("Game.Keys", "F7", "open FR-Canyon", 0);
}

void GenerateFixture::TearDown()
{
    ExpectManifestsRoundTrip(game);
}

}  // namespace zpak::test
