class Spawner extends Actor;
