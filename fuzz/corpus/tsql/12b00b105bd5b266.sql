SELECT Distinct TOP 1 t1.FItemID,t1.FNumber FROM t_Organization t1 
WHERE 1=1 AND ((ISNULL(t1.FName,'') LIKE '%华联%' ESCAPE '!'))
 ORDER BY t1.FNumber