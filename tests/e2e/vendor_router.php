<?php
// Router of the vendor server the update scenarios run (php -S ... router):
// everything is served as it lies under the document root, except that the
// installer trickles out, in blocks of 64 KiB a quarter second apart, while
// a file named "slow" lies beside the document root's tarnwick folder, so
// that a picture can catch a download half done.
$root = $_SERVER['DOCUMENT_ROOT'];
$path = parse_url($_SERVER['REQUEST_URI'], PHP_URL_PATH);
if ($path !== '/tarnwick/download/setup.exe' || !file_exists("$root/slow")) {
    return false;
}
$file = "$root$path";
header('Content-Type: application/octet-stream');
header('Content-Length: ' . filesize($file));
$in = fopen($file, 'rb');
while (!feof($in)) {
    echo fread($in, 65536);
    flush();
    usleep(250000);
}
fclose($in);
