class Campaign extends GameInfo;
